#pragma once

#include <span>

// What the user reads about each command: its menu text, its status-bar
// prompt and its tooltip, in one table beside the ids (command_ids.h).

// `prompt` is "status-bar prompt\ntooltip"; empty parts leave the action's
// own text.
struct CommandText {
    int id;
    const char* text;
    const char* prompt;
};

// The command's texts, or null for a command the table does not know.
const CommandText* FindCommandText(int id);
// The whole table, one entry per id.
std::span<const CommandText> CommandTexts();
