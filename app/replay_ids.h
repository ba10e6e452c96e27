#pragma once

// Commands of recordings with time, replay, analysis and export (the range
// 33200-33249 is theirs).
enum ReplayCommandId : int {
    ID_ANALYSE_RECORDING = 33200,
    ID_EXPORT_TRACK = 33201,
    ID_REPLAY_PAUSE = 33202,
    ID_REPLAY_STEP = 33203,
    ID_BACK_TO_LIVE = 33204,
};
