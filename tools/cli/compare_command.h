#pragma once

int RunCompareCommand(int argc, char** argv);
