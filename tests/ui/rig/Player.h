// The tests' video player (tests/stand-in/StandInPlayer.cpp) as the shell's "open" verb of
// videos in the test prefix's registry.
#pragma once

#include "rig/Rig.h"

#include <string>
#include <vector>

namespace rig {

// Registered for the extensions (".mp4") while the object lives; what the registry held
// before comes back after.
class RegisteredPlayer {
public:
    explicit RegisteredPlayer(const std::vector<std::string>& extensions);
    ~RegisteredPlayer();
    RegisteredPlayer(const RegisteredPlayer&) = delete;
    RegisteredPlayer& operator=(const RegisteredPlayer&) = delete;

    // The paths the player was started with, in order.
    std::vector<std::string> Opened() const;
    // Every player started so far lets its video go and ends.
    void Release() const;

private:
    struct Previous {
        std::string extension;
        bool keyHad;  // the extension's key was there
        bool had;     // with a default value
        std::string value;
    };
    TempFolder m_folder;
    std::string m_record = m_folder.File("opened.txt");
    std::string m_releaseName;
    fw::unique_handle m_release;
    std::vector<Previous> m_previous;
};

} // namespace rig
