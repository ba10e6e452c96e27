#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "analysis/position_plot_wnd.h"
#include "app/main_window.h"
#include "app/page_tabs.h"
#include "app/tests/gui_test_support.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "link/tests/pseudo_terminal.h"
#include "nmea/tests/sentence.h"

namespace {

// HPL and HFOM describe the receiver they came from: a reconnect of the
// same port keeps them, another port or a playback starts without them.
class SourceIntegrity : public ::testing::Test {
protected:
    void SetUp() override { m_frame = std::make_unique<MainWindow>(NoReceiver()); }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }
    static int ParserHpl()
    {
        std::lock_guard lock(g_dataLock);
        return g_parser.m_raimHpl;
    }
    // What the last receiver said: HPL 12 m, HFOM 5 m.
    static void ReceivedRaim()
    {
        std::lock_guard feeding(g_parserLock);
        const std::string raim = Sentence("GPRAIM,1200,0,500");
        g_parser.ProcessBytes(reinterpret_cast<const uint8_t*>(raim.data()), raim.size());
    }
    const PositionStatistics& Statistics() const { return m_frame->View()->PositionPlot()->Statistics(); }

    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_frame;
};

TEST_F(SourceIntegrity, ReconnectKeepsAnotherPortForgets)
{
    PseudoTerminal first, second;
    ASSERT_TRUE(m_frame->ConnectTo(first.SlavePath(), 9600));
    ReceivedRaim();
    ASSERT_EQ(ParserHpl(), 1200);
    ASSERT_TRUE(m_frame->ConnectTo(first.SlavePath(), 4800));
    EXPECT_EQ(ParserHpl(), 1200) << "the same receiver again";
    ASSERT_TRUE(m_frame->ConnectTo(second.SlavePath(), 9600));
    EXPECT_EQ(ParserHpl(), 0) << "another receiver";
}

TEST_F(SourceIntegrity, PlaybackWithoutRaimCountsNoViolations)
{
    PseudoTerminal receiver;
    ASSERT_TRUE(m_frame->ConnectTo(receiver.SlavePath(), 9600));
    ReceivedRaim();
    m_frame->View()->PositionPlot()->SetUserPosition(47.0, 15.0, 0.0);  // kilometres from the fixes

    std::string input;
    for (int i = 0; i < 5; ++i)
        input += Sentence("GPGGA,1200" + std::to_string(10 + i) + ",4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    const QString path = m_dir.filePath("no_raim.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(input.data(), static_cast<qint64>(input.size()));
    file.close();
    ASSERT_TRUE(m_frame->StartPlayback(path));
    ASSERT_TRUE(WaitFor([&] { return Statistics().SampleCount() == 5; }, 5000));
    EXPECT_EQ(Statistics().HplCm(), 0);
    EXPECT_EQ(Statistics().HfomCm(), 0);
    EXPECT_EQ(Statistics().HplViolations(), 0);
}

}  // namespace
