#pragma once

int RunExportCommand(int argc, char** argv);
