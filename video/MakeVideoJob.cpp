#include "app/FileSystem.h"
#include "app/Globals.h"
#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"
#include "framework/Handles.h"
#include "resource.h"
#include "video/ConvertToJpeg.h"
#include "video/EncoderCommandLine.h"
#include "video/WaitDlg.h"

#include <ctime>
#include <vector>

namespace {

std::string CurrentTimePrefix()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return FormatTimePrefix(local);
}

bool WriteFrame(const ImageFileInfo& record, const std::string& frameFileName)
{
    if (record.typeText == "JPG") {
        // The source's own JPEG is the frame: no decoding, no loss.
        if (::CopyFileA(record.filePath.c_str(), frameFileName.c_str(), FALSE))
            return true;
        ::DeleteFileA(frameFileName.c_str());
        return false;
    }
    return ConvertToJpeg(record.filePath, frameFileName);
}

// Runs the encoder hidden and waits for it; true only when it started and exited with 0.
bool RunEncoder(const std::string& encoderPath, const std::string& commandLine)
{
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(encoderPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return false;
    fw::unique_handle process(info.hProcess);
    fw::unique_handle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 1;
    return ::GetExitCodeProcess(process.get(), &exitCode) && exitCode == 0;
}

bool IsNonEmptyFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

} // namespace

unsigned __stdcall MakeVideoThreadProc(void* parameter)
{
    CWaitDlg& dialog = *static_cast<CWaitDlg*>(parameter);

    std::string encoderPath = theApp.GetModuleDirectory() + "ffmpeg.exe";
    if (!FileExists(encoderPath)) {
        dialog.SetResult(IDS_MISSING_FILE, encoderPath);
        dialog.PostCompletion(false);
        return 0;
    }
    std::string tempFolder = g_settings.TempPath;
    if (!EnsureDirectory(tempFolder)) {
        dialog.SetResult(IDS_TEMP_PATH_MISSING, tempFolder);
        dialog.PostCompletion(false);
        return 0;
    }

    dialog.m_pMainDlg->CollectImageFiles(dialog.m_images);
    int count = dialog.m_images.GetCount();
    dialog.m_progress.SetRange(0, count + 20);
    if (g_settings.SortByTime != 0)
        SortImageFilesByTime(dialog.m_images);
    dialog.m_progress.OffsetPos(5);

    std::string timePrefix = CurrentTimePrefix();
    int frameNumber = 1;
    std::vector<std::string> writtenFiles;
    for (int i = 0; i < count; ++i) {
        ImageFileInfo record = dialog.m_images.GetAt(i);
        std::string frameFileName = FormatFrameFileName(tempFolder, timePrefix, frameNumber);
        if (record.typeText != TYPE_OTHERS && WriteFrame(record, frameFileName)) {
            writtenFiles.push_back(frameFileName);
            ++frameNumber;
        }
        dialog.m_progress.StepIt();
    }
    if (frameNumber == 1) {
        dialog.SetResult(IDS_SELECT_IMAGES, "");
        dialog.PostCompletion(true);
        return 0;
    }

    std::string destination = g_settings.DestinationFile;
    std::string commandLine =
        BuildEncoderCommandLine(g_settings.FrameRate, g_settings.VideoSize, g_settings.Deflicker != 0, tempFolder,
                                timePrefix, destination);
    bool encoded = RunEncoder(encoderPath, commandLine);
    dialog.m_progress.OffsetPos(10);
    for (const std::string& file : writtenFiles)
        ::DeleteFileA(file.c_str());
    // The encoder's status and its output decide: a started encoder may still have failed.
    bool success = encoded && IsNonEmptyFile(destination);
    dialog.SetResult(success ? IDS_VIDEO_SUCCESS : IDS_VIDEO_FAILED, "");
    dialog.m_progress.SetPos(count);
    dialog.PostCompletion(success);
    return 0;
}
