#pragma once

int RunAccuracyCommand(int argc, char** argv);
