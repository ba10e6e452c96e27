#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryFile>
#include <QTest>

#include "console/history_combo.h"

namespace {

using Entries = std::vector<std::string>;

QSettings AppSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Helmarc"),
                     QStringLiteral("Helmarc Stelmap"));
}

class HistoryComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings settings = AppSettings();
        settings.clear();
        settings.sync();
    }

    static void WriteValues(const std::map<QString, QString>& values)
    {
        QSettings settings = AppSettings();
        settings.beginGroup(QStringLiteral("QX5Monitor History"));
        for (const auto& [name, value] : values)
            settings.setValue(name, value);
    }

    static std::map<QString, QString> StoredValues()
    {
        QSettings settings = AppSettings();
        settings.beginGroup(QStringLiteral("QX5Monitor History"));
        std::map<QString, QString> values;
        for (const QString& key : settings.childKeys())
            values[key] = settings.value(key).toString();
        return values;
    }

    // A shown box whose edit field has the focus, so key clicks reach it.
    void Show(HistoryCombo& box)
    {
        box.resize(300, 24);
        box.show();
        box.activateWindow();
        box.lineEdit()->setFocus();
    }
};

TEST_F(HistoryComboTest, TypingCompletesWithTheRestSelected)
{
    HistoryCombo box;
    box.AddToHistory(QStringLiteral("$GPGGA,1"));
    box.AddToHistory(QStringLiteral("$PXTNCFG*50"));
    box.setEditText(QString());
    Show(box);
    QLineEdit* edit = box.lineEdit();

    QTest::keyClicks(edit, QStringLiteral("$px"));
    EXPECT_EQ(edit->text(), QStringLiteral("$PXTNCFG*50"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("TNCFG*50"));
    EXPECT_EQ(edit->selectionStart(), 3);

    // Typing on replaces the selection and completes again.
    QTest::keyClicks(edit, QStringLiteral("T"));
    EXPECT_EQ(edit->text(), QStringLiteral("$PXTNCFG*50"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("NCFG*50"));

    // Backspace removes the completed part and completion stays off ...
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("$PXT"));
    EXPECT_EQ(box.m_autoComplete, 0);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QStringLiteral("$PX"));
    EXPECT_FALSE(edit->hasSelectedText());
    // ... until the next other key.
    QTest::keyClicks(edit, QStringLiteral("T"));
    EXPECT_EQ(box.m_autoComplete, 1);
    EXPECT_EQ(edit->text(), QStringLiteral("$PXTNCFG*50"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("NCFG*50"));

    // Delete switches it off as well.
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_EQ(edit->text(), QStringLiteral("$PXT"));
    EXPECT_EQ(box.m_autoComplete, 0);

    // Text that begins no entry stays as typed.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("$GL"));
    EXPECT_EQ(edit->text(), QStringLiteral("$GL"));
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_FALSE(edit->hasSelectedText());
}

TEST_F(HistoryComboTest, TypingInsideTheTextKeepsTheCaretWhereItIs)
{
    HistoryCombo box;
    box.AddToHistory(QStringLiteral("$PXTNCFG*50"));
    box.setEditText(QStringLiteral("$XTN"));
    Show(box);
    QLineEdit* edit = box.lineEdit();
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, QStringLiteral("P"));
    EXPECT_EQ(edit->text(), QStringLiteral("$PXTNCFG*50"));
    EXPECT_EQ(edit->cursorPosition(), 2);
    EXPECT_FALSE(edit->hasSelectedText());
}

TEST_F(HistoryComboTest, LoadReadsUpToTheFirstGapAndShowsTheTextLeftInTheBox)
{
    struct Case {
        const char* name;
        std::map<QString, QString> stored;
        Entries entries;
        QString editText;
        int currentIndex;
    };
    const Case cases[] = {
        {"nothing stored", {}, {}, QString(), -1},
        {"only the text left in the box", {{"HistoryItem", "$GPQ,GGA"}}, {}, "$GPQ,GGA", -1},
        {"entries, nothing left in the box",
         {{"HistoryItem0", "$B"}, {"HistoryItem1", "$A"}},
         {"$B", "$A"},
         QString(),
         -1},
        {"left text equal to an entry selects it",
         {{"HistoryItem0", "$B"}, {"HistoryItem1", "$A,1"}, {"HistoryItem", "$a,1"}},
         {"$B", "$A,1"},
         "$A,1",
         1},
        {"stops at the first gap",
         {{"HistoryItem0", "$B"}, {"HistoryItem2", "$C"}, {"HistoryItem", "typed"}},
         {"$B"},
         "typed",
         -1},
    };
    for (const Case& c : cases) {
        SetUp();
        WriteValues(c.stored);
        HistoryCombo box;
        box.LoadHistory();
        EXPECT_EQ(box.Entries(), c.entries) << c.name;
        EXPECT_EQ(box.currentText(), c.editText) << c.name;
        EXPECT_EQ(box.currentIndex(), c.currentIndex) << c.name;
        EXPECT_EQ(box.m_section, QStringLiteral("QX5Monitor History"));
        EXPECT_EQ(box.m_keyPrefix, QStringLiteral("HistoryItem"));
    }
}

TEST_F(HistoryComboTest, SaveDeletesStaleValuesUpToTheFirstGap)
{
    std::map<QString, QString> stored;
    for (int i = 0; i < 8; ++i)
        stored[QStringLiteral("HistoryItem%1").arg(i)] = QStringLiteral("old%1").arg(i);
    stored[QStringLiteral("HistoryItem9")] = QStringLiteral("beyond the gap");
    WriteValues(stored);

    HistoryCombo box;
    box.LoadHistory();
    box.clear();
    for (int i = 4; i >= 0; --i)
        box.AddToHistory(QStringLiteral("$E%1").arg(i));
    box.setEditText(QStringLiteral("$E2"));
    ASSERT_TRUE(box.SaveHistory());

    const std::map<QString, QString> expected = {
        {"HistoryItem0", "$E2"}, {"HistoryItem1", "$E0"}, {"HistoryItem2", "$E1"},
        {"HistoryItem3", "$E3"}, {"HistoryItem4", "$E4"}, {"HistoryItem9", "beyond the gap"},
        {"HistoryItem", "$E2"}};
    EXPECT_EQ(StoredValues(), expected);
}

TEST_F(HistoryComboTest, SavedTextsComeBackUnchanged)
{
    const QString texts[] = {
        QStringLiteral("$PXTNCFG,N,M,,,,,,"), QStringLiteral("$GPQ;GGA \"quoted\""),
        QStringLiteral("@at the start"),      QStringLiteral("#hash = equals"),
        QStringLiteral("back\\slash"),        QStringLiteral("caf\u00e9 \u00b0"),
    };
    HistoryCombo box;
    box.LoadHistory();
    for (const QString& text : texts)
        box.AddToHistory(text);
    box.setEditText(QStringLiteral("left, with a comma"));
    ASSERT_TRUE(box.SaveHistory());

    HistoryCombo again;
    again.LoadHistory();
    EXPECT_EQ(again.Entries(), box.Entries());
    EXPECT_EQ(again.currentText(), QStringLiteral("left, with a comma"));
}

TEST_F(HistoryComboTest, ASettingsFileThatCannotBeWrittenLosesNothing)
{
    const QString settingsFile = AppSettings().fileName();
    const QString settingsRoot = QFileInfo(settingsFile).dir().absolutePath() + QStringLiteral("/..");
    QTemporaryFile notADirectory;
    ASSERT_TRUE(notADirectory.open());

    HistoryCombo box;
    box.LoadHistory();
    box.AddToHistory(QStringLiteral("$FIRST"));
    ASSERT_TRUE(box.SaveHistory());

    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, notADirectory.fileName());
    box.AddToHistory(QStringLiteral("$TYPED,WHILE,READ-ONLY"));
    const bool saved = box.SaveHistory();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::cleanPath(settingsRoot));

    EXPECT_FALSE(saved);
    EXPECT_EQ(box.Entries(), (Entries{"$TYPED,WHILE,READ-ONLY", "$FIRST"}));
    ASSERT_EQ(AppSettings().fileName(), settingsFile);

    // The next save that works writes everything.
    ASSERT_TRUE(box.SaveHistory());
    HistoryCombo again;
    again.LoadHistory();
    EXPECT_EQ(again.Entries(), (Entries{"$TYPED,WHILE,READ-ONLY", "$FIRST"}));
}

}  // namespace
