#pragma once

// String ids of the alarm history workflow (the shared transfer ids are in TransferTexts.h).
namespace AlarmMessages {
inline constexpr int kRunTypeFirst = 251; // "ABS"; 251..258 are run types 1..8
inline constexpr int kRunStatusHold = 274;
inline constexpr int kRunStatusRunning = 275; // "Running (%s)"
inline constexpr int kRunStatusPulseTrain = 276;
inline constexpr int kRunStatusOriginSearch = 277;
inline constexpr int kTitleAlarmHistory = 921;
inline constexpr int kSavingAlarmHistory = 10029;
inline constexpr int kConfirmAlarmHistory = 10033;
inline constexpr int kReadTimeFormat = 10139; // "%b %d, %Y %H:%M:%S"
inline constexpr int kSaveFileFailed = 40004;
} // namespace AlarmMessages
