#include "MomentaryHolder.h"

#include "framework/Text.h"

#include <algorithm>
#include <vector>

namespace {

constexpr ULONGLONG HOLD_MS = 500;
// How often a file still open without sharing is tried again.
constexpr DWORD RETRY_MS = 5;

struct Holding {
    fw::unique_file file;
    ULONGLONG until;
};

} // namespace

MomentaryHolder::MomentaryHolder(const std::string& folder)
    : m_folder(fw::ToWide(folder)),
      m_directory(::CreateFileW(m_folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)),
      m_changed(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_thread([this] { Watch(); })
{
}

MomentaryHolder::~MomentaryHolder()
{
    ::SetEvent(m_stop.get());
    m_thread.join();
}

void MomentaryHolder::Watch()
{
    OVERLAPPED overlapped{};
    overlapped.hEvent = m_changed.get();
    alignas(DWORD) BYTE changes[64 * 1024];
    std::vector<std::wstring> waiting;
    std::vector<Holding> holdings;
    bool reading = false;
    for (;;) {
        if (!reading)
            reading = ::ReadDirectoryChangesW(m_directory.get(), changes, sizeof(changes), FALSE,
                                              FILE_NOTIFY_CHANGE_FILE_NAME, nullptr, &overlapped, nullptr);
        ULONGLONG now = ::GetTickCount64();
        DWORD timeout = waiting.empty() ? INFINITE : RETRY_MS;
        for (const Holding& holding : holdings)
            timeout = std::min<DWORD>(timeout, static_cast<DWORD>(holding.until > now ? holding.until - now : 0));
        HANDLE events[] = {m_stop.get(), m_changed.get()};
        DWORD signalled = ::WaitForMultipleObjects(2, events, FALSE, timeout);
        if (signalled == WAIT_OBJECT_0)
            break;
        DWORD bytes = 0;
        if (signalled == WAIT_OBJECT_0 + 1) {
            reading = false;
            ::ResetEvent(m_changed.get());
            if (!::GetOverlappedResult(m_directory.get(), &overlapped, &bytes, FALSE))
                bytes = 0;
            for (DWORD offset = 0; bytes > 0;) {
                const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(changes + offset);
                if (change->Action == FILE_ACTION_ADDED || change->Action == FILE_ACTION_RENAMED_NEW_NAME)
                    waiting.push_back(m_folder + std::wstring(change->FileName, change->FileNameLength / sizeof(WCHAR)));
                if (change->NextEntryOffset == 0)
                    break;
                offset += change->NextEntryOffset;
            }
        }
        // Read access only, as a scanner's: the encoder may still be writing the file.
        waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                     [&](const std::wstring& path) {
                                         fw::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                                            OPEN_EXISTING, 0, nullptr));
                                         if (!file)
                                             return ::GetLastError() != ERROR_SHARING_VIOLATION;
                                         holdings.push_back({std::move(file), ::GetTickCount64() + HOLD_MS});
                                         ++m_held;
                                         return true;
                                     }),
                      waiting.end());
        now = ::GetTickCount64();
        holdings.erase(std::remove_if(holdings.begin(), holdings.end(), [&](const Holding& h) { return h.until <= now; }),
                       holdings.end());
    }
    if (reading) {
        ::CancelIoEx(m_directory.get(), &overlapped);
        DWORD bytes = 0;
        ::GetOverlappedResult(m_directory.get(), &overlapped, &bytes, TRUE);
    }
}
