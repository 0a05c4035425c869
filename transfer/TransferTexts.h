#pragma once

#include <QString>
#include <QStringList>

// Texts and file-name rules shared by the transfer workflows (backup, restore, alarm history)
// and by the command-line tool. QtCore only.
namespace TransferTexts {

// String `id` of the resource library (empty when missing).
QString Text(int id);

// Fills a string-table format whose placeholders are %s, %d, %02d and the like, with `args` in
// order (numbers already as text). Width and the "0" flag pad on the left; "%%" is a percent
// sign. A placeholder without an argument becomes empty text and surplus arguments are
// ignored, so a translated table with other placeholders cannot break the program.
QString Format(const QString& format, const QStringList& args);

// The longest full path the file chooser accepts.
inline constexpr int kMaxPathLength = 259;

// The chooser's rule for a chosen path: at most kMaxPathLength characters and an extension
// (the text after the last ".") exactly equal to `extension`, case included.
bool IsAcceptableFileName(const QString& path, const QString& extension);

// What a file chooser refuses in a chosen path, checked in this order: the name rule above, an
// open chooser's file that does not exist, a save chooser's folder that does not exist, a
// folder where a file is wanted.
enum class ChosenPathProblem { None, BadName, NoSuchFile, NoSuchFolder, IsFolder };
ChosenPathProblem CheckChosenPath(const QString& path, const QString& extension, bool mustExist);
// The dialogs' message for a refused path; empty for ChosenPathProblem::None. A name is refused
// as too long ("The file name is too long.") or, within the length, for its extension.
QString ChosenPathMessage(ChosenPathProblem problem, const QString& path, const QString& extension);

// The folder chooser's refusals of a chosen folder (a backup set's): a path longer than
// kMaxPathLength ("The file name is too long."), or a file where a folder is wanted. Empty when
// the folder is accepted; a folder that does not exist yet is (a backup creates it).
QString ChosenFolderMessage(const QString& path);

// The file name part shown in confirmations: the text after the last "/", or the whole path
// when that part is empty.
QString FileNamePart(const QString& path);

} // namespace TransferTexts

// Message ids shared by the transfer workflows.
namespace TransferMessages {
inline constexpr int kControllerName = 10066;
inline constexpr int kRobotName = 10067;
inline constexpr int kInterfaceInfo = 10068;
inline constexpr int kSaveFileName = 389;
inline constexpr int kFileName = 390;
inline constexpr int kSelectConnection = 391;
inline constexpr int kComPortRoot = 392;
inline constexpr int kComPortItem = 393;
inline constexpr int kControllerLine = 394; // "Controller: %s  (COM%d - Node No.:%02d)\n"
inline constexpr int kSaveTo = 395;         // "Save to: %s\n"
inline constexpr int kSource = 396;         // "Source: %s\n"
inline constexpr int kDataFileFilter = 520;
inline constexpr int kAlarmFileFilter = 523;
inline constexpr int kSafetyCaution = 524;
inline constexpr int kGatewayCaution = 525;
inline constexpr int kNoSuchFolder = 10450; // "%s\nThe folder does not exist. ..."
inline constexpr int kNoSuchFile = 10451;
inline constexpr int kIsFolder = 10452;
inline constexpr int kTitleRestore = 906;
inline constexpr int kTitleBackup = 907;
inline constexpr int kTransferCompleted = 10010;
inline constexpr int kSaveCompleted = 10011;
inline constexpr int kFileNotSelected = 10017;
inline constexpr int kConnectionNotSelected = 10022;
inline constexpr int kSavingToFile = 10027;
inline constexpr int kTransferringToController = 10028;
inline constexpr int kConfirmBackup = 10030;
inline constexpr int kConfirmRestore = 10031;
inline constexpr int kControllerMismatch = 10040;
inline constexpr int kRobotMismatchQuestion = 10041;
inline constexpr int kTransferFailed = 10048;
inline constexpr int kFileIdentityIncomplete = 10069;
inline constexpr int kRunModeQuestion = 10135;
inline constexpr int kRestartController = 10142;
inline constexpr int kControllerChanged = 10150;
inline constexpr int kControllerMismatchQuestion = 10157;
inline constexpr int kFileWriteReason = 10420;      // "\n\nThe file could not be written: %s"
inline constexpr int kFileReadReason = 10421;       // "\n\nThe file could not be read: %s"
inline constexpr int kControllerLineDevice = 10422; // "Controller: %s  (%s - Node No.:%02d)\n"
inline constexpr int kReplaceQuestion = 10423; // "%s already exists.\nDo you want to replace it?"
inline constexpr int kWrongExtension = 10500;  // "The file must have the extension .%s."
inline constexpr int kFileNameTooLong = 40001;
inline constexpr int kOpenFileFailed = 40002;
inline constexpr int kReconnectFailed = 41006;
inline constexpr int kDataFileExtension = 57201;  // "kqd"
inline constexpr int kAlarmFileExtension = 57202; // "alr"
} // namespace TransferMessages
