// The tests' video player (tests/stand-in/StandInPlayer.cpp) as the shell's "open" verb of
// one extension in the test prefix's registry while the object lives; what the registry held
// before comes back after.
#pragma once

#include "rig/Rig.h"

#include <string>
#include <vector>

namespace rig {

class RegisteredPlayer {
public:
    explicit RegisteredPlayer(const std::string& extension);
    ~RegisteredPlayer();
    RegisteredPlayer(const RegisteredPlayer&) = delete;
    RegisteredPlayer& operator=(const RegisteredPlayer&) = delete;

    // The paths the player was started with, in order.
    std::vector<std::string> Opened() const;
    // Every player, started so far or later, lets its video go and ends.
    void Release() const { ::SetEvent(m_release.get()); }

private:
    TempFolder m_folder;
    std::string m_record = m_folder.File("opened.txt");
    fw::unique_handle m_release;
    std::string m_key;
    bool m_keyWasThere;
    std::string m_value;  // its default value before, if any
};

} // namespace rig
