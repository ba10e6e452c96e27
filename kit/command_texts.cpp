#include "kit/command_texts.h"

#include "kit/command_ids.h"

namespace {

const CommandText kCommandTexts[] = {
    {kCmdAppExit, "E&xit", "Quits the application\nExit"},
    {kCmdEditUndo, "&Undo\tCtrl+Z", "Undoes the last action\nUndo"},
    {kCmdEditCut, "Cu&t\tCtrl+X", "Cuts the selection and puts it on the clipboard\nCut"},
    {kCmdEditCopy, "&Copy\tCtrl+C", "Copies the selection and puts it on the clipboard\nCopy"},
    {kCmdEditPaste, "&Paste\tCtrl+V", "Inserts clipboard contents\nPaste"},
    {kCmdNextPane, "Next Pane", "Switches to the next page\nNext Pane"},
    {kCmdPrevPane, "Previous Pane", "Switches back to the previous page\nPrevious Pane"},
    {kCmdViewStatusBar, "&Status Bar", "Shows or hides the status bar\nToggle Status Bar"},
    {kCmdViewCustomize, "Customize...", ""},
    {kCmdAppAbout, "&About Stelmap...", "Displays program information, version number and copyright\nAbout"},
    {kCmdConnect, "&Connect to GPS...",
     "Prompts the user to select a serial port to connect to a specific GPS device\nConnect to GPS"},
    {kCmdRecord, "&Record Data...", "Records NMEA data to a specified file\nRecord Data"},
    {kCmdPlayBack, "&Play Back Data...", "Play back previously recorded NMEA data\nPlay Back Data"},
    {kCmdStop, "&Stop", "Stops play back or recording\nStop"},
    {kCmdSetDopThreshold, "&Set DOP Threshold...",
     "Sets the system Dilution of Precision threshold used for accepting data points\nDilution of Precision"},
    {kCmdSetUserPosition, "Set &User Position...", "Sets the user known position\nSets User Position"},
    {kCmdClearPositionPlots, "&Clear plots", "Clears and resets the position plots data\nClear Plot Data"},
    {kCmdPrecision, "Precision", ""},
    {kCmdIntegrity, "Integrity", ""},
    {kCmdLookOffice2007Blue, "&Blue Style", ""},
    {kCmdLookOffice2007Black, "B&lack Style", ""},
    {kCmdClearSatelliteTrails, "Clear Satellite Trails", "Erases and clears the satellite trails\nClear Satellite Trails"},
    {kCmdClearAzElMask, "Clear Satellite &Azimuth/Elevation Mask",
     "Clears the azmuth/elevation mask\nClear Azimuth/Elevation Mask"},
    {kCmdCenterNextSample, "Center Next Position Sample",
     "Centers scatter plot on the next poistion sample\nCenter Next Position Sample"},
    {kCmdCenterOnAverage, "Center On Average", "Center scatter plot on position average\nCenter On Average"},
    {kCmdCenterUserPosition, "Center To User Position...",
     "Center scatter plot to user defined position\nCenter User Position"},
    {kCmdClearScatterPlot, "&Clear Plot", "Clears the scatter plot\nClear Plot"},
    {kCmdClearReceiveScreen, "Clear &Receive Screen", ""},
    {kCmdClearTransmitScreen, "Clear &Transmit Screen", ""},
    {kCmdResetAccuracy, "Re&set Accuracy", "Starts the accuracy and integrity figures afresh\nReset Accuracy"},
    {kCmdExportAccuracyReport, "&Export Accuracy Report...",
     "Saves the Accuracy page as a picture and its figures as JSON\nExport Accuracy Report"},
    {kCmdSetAlertLimit, "Set &Alert Limit...",
     "Sets the horizontal alert limit of the integrity figures\nSet Alert Limit"},
    {kCmdReconnectAutomatically, "Reconnect &Automatically",
     "Opens a source that went away again every second\nReconnect Automatically"},
    {kCmdLinkHealth, "&Link Health...", "Shows how well the link carries NMEA\nLink Health"},
    {kCmdFindBaudRate, "Find &Baud Rate", "Tries the usual baud rates until NMEA arrives\nFind Baud Rate"},
};

}  // namespace

std::span<const CommandText> CommandTexts() { return kCommandTexts; }

const CommandText* FindCommandText(int id)
{
    for (const CommandText& c : kCommandTexts)
        if (c.id == id)
            return &c;
    return nullptr;
}
