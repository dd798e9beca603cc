// The application object: start-up, the main window's modal run, and the module directory.
#pragma once

#include <string>

class CTimeLapseApp {
public:
    // Loads the settings and runs the main window until the user quits; always false.
    bool InitInstance();
    // The executable's drive and directory, ending in one backslash; computed once.
    std::string GetModuleDirectory();

private:
    std::string m_moduleDirectory;
};
