// The common file dialogs may leave the process's current directory in the folder the user
// browsed to: GetOpenFileName does so whatever its flags (Microsoft documents OFN_NOCHANGEDIR
// as ineffective for it). Windows holds the current directory open, so a USB stick or SD
// card the photos came from could not be ejected while the program runs. One of these held
// around each file dialog or folder browser puts the directory back when it ends.
#pragma once

#include <string>

namespace fw {

class KeepCurrentDirectory {
public:
    KeepCurrentDirectory();
    // Back to where it was; where that is gone, to the program's own folder.
    ~KeepCurrentDirectory();
    KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
    KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;

private:
    std::wstring m_before;
};

// The process's current directory, of any length; empty when the system cannot say.
std::wstring CurrentDirectory();

} // namespace fw
