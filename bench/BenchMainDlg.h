// The main window, able to run a piece of work on its own thread as its commands do: a work
// dialog opened there reads and adds the rows there, as it does in the program.
#pragma once

#include "filelist/ImageListDlg.h"

#include <functional>

class BenchMainDlg : public CImageListDlg {
public:
    // Returns when the work has run.
    void RunOnItsThread(const std::function<void()>& work) const
    {
        ::SendMessageA(m_hWnd, WM_RUN, 0, reinterpret_cast<LPARAM>(&work));
    }

protected:
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_RUN)
            return CImageListDlg::WindowProc(message, wParam, lParam);
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return TRUE;
    }

private:
    static constexpr UINT WM_RUN = WM_APP + 50;
};
