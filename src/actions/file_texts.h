// Texts of the file and tag actions, exactly as the user sees them. The question and
// error boxes carry the captions and flags given beside them.
#pragma once

#include <windows.h>

namespace vemo {

// Read-only toggle: kReadOnlyStart + path + kReadOnlyMiddle + (kNowWritable or
// kNowReadOnly), the state named in double quotes.
constexpr char kReadOnlyStart[] = "File ";
constexpr char kReadOnlyMiddle[] = " changed state to \"Read";
constexpr char kNowWritable[] = "/writable\"";
constexpr char kNowReadOnly[] = " only\"";
constexpr char kAttributesFailed[] = "Cannot change the file's attributes";

// Deletion: the question quotes the path.
constexpr char kDeleteQuestionStart[] = "Physically delete file \"";
constexpr char kDeleteQuestionEnd[] = "\"?";
constexpr char kSureCaption[] = "Sure?";
constexpr UINT kDeleteQuestionFlags = MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TOPMOST;
constexpr char kDeleteErrorStart[] = "Error deleting \"";
constexpr char kDeleteErrorEnd[] = "\"";
constexpr UINT kTopmostErrorFlags = MB_OK | MB_ICONERROR | MB_TOPMOST;
constexpr char kNoFileToRemove[] = "No file to remove";
// Deletion into the Recycle Bin: its own question, since nothing is deleted physically,
// and one for a drive without a bin, asked whatever the prompt option says, since there
// the deletion is final. Only Yes deletes.
constexpr char kRecycleQuestionStart[] = "Move file \"";
constexpr char kRecycleQuestionEnd[] = "\" to the Recycle Bin?";
constexpr char kNoBinQuestionStart[] = "The drive of \"";
constexpr char kNoBinQuestionEnd[] =
    "\" has no Recycle Bin: the file would be deleted for good and could not be restored.\r\n\r\n"
    "Delete it anyway?";
constexpr UINT kNoBinQuestionFlags = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TOPMOST;
constexpr UINT kErrorFlags = MB_OK | MB_ICONERROR;
// The shell's delete takes no path longer than the system's old limit; nothing is tried.
constexpr char kBinPathTooLongStart[] = "The path of \"";
constexpr char kBinPathTooLongEnd[] =
    "\" is too long for the Recycle Bin; nothing was done.\r\n\r\n"
    "Move the file to a shorter path, or switch the Recycle Bin option off to delete it for good.";

// Copy and move.
constexpr char kPluginCaption[] = "Quavix VEMO Plugin";
constexpr char kNoDestination[] = "Destination does not exist";
constexpr char kNoFileToMove[] = "No file to move";
// The question names the file it would replace and where that file goes; Cancel is the
// default, so that Enter keeps it: kOverwriteStart + target + kOverwriteToBin or
// kOverwriteForGood.
constexpr char kOverwriteStart[] = "The file \"";
constexpr char kOverwriteToBin[] = "\" already exists.\r\n\r\nReplace it? The old file goes to the Recycle Bin.";
constexpr char kOverwriteForGood[] =
    "\" already exists.\r\n\r\nReplace it? The old file will be deleted for good and cannot be restored.";
constexpr UINT kOverwriteFlags = MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TOPMOST;
constexpr char kFileCopied[] = "File copied";
constexpr char kFileMoved[] = "File moved";
constexpr char kCopyFailed[] = "Copy failed. Nothing was changed";
constexpr char kMoveFailed[] = "Move failed. Nothing was changed";
constexpr char kMoveSourceKept[] = "File copied, but the original could not be removed";
constexpr char kCopyFailedOldInBin[] = "Copy failed. The file it was to replace is in the Recycle Bin";
constexpr char kMoveFailedOldInBin[] = "Move failed. The file it was to replace is in the Recycle Bin";
constexpr char kAlreadyThere[] = "The file is already in the destination folder";

// Rename.
constexpr char kFileRenamed[] = "File renamed";
constexpr char kRenameFailed[] = "Rename failed. Maybe the file already exists";
constexpr char kNoValidName[] = "The tag gives no valid file name";
constexpr char kNameTooLong[] = "The new file name is too long";

// An older player answers in its 8-bit code page only and puts "?" for every character
// that it lacks; acting on such a name would miss the file or hit another one.
constexpr char kNameNotWhole[] =
    "This player version cannot give this file's name; nothing was done to the file.\r\n\r\n"
    "A newer player version gives every name. With this one, the file and tag keys work on names "
    "written in the letters of the system's language.";
// Said in place of a rename that such a player could not follow: its entry would be left
// on a name that is gone, so the file keeps its own.
constexpr char kNameNotForPlayer[] = "This player version cannot take the new name; the file keeps its own";

// Tag from the file name.
constexpr char kTagCaption[] = "VEMO plug-in";
constexpr UINT kTagVersionFlags = MB_OK | MB_ICONWARNING;

}  // namespace vemo
