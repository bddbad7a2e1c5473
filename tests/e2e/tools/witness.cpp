// A stand-in program for the end-to-end tests.
//
//   witness --record FILE [TITLE]
//       shows a 600x400 window titled TITLE (default "Jumpnest Witness") at
//       (100, 100) and appends one line to FILE for every mouse button message
//       in its client area, e.g. "WM_RBUTTONDOWN 200 180" (client coordinates;
//       WM_CONTEXTMENU from the keyboard gives "-1 -1"). Its first line is
//       "ready", written once the window is shown. Ends when the window is closed.
//   witness --started FILE [ARGS...]
//       appends "started" and its arguments, each after one space, to FILE and
//       exits 0: entries pointing at a copy of it prove that a target ran.
//
// FILE is opened per line, so a test may read it at any moment.

#include <windows.h>

#include <shellapi.h>
#include <windowsx.h>

#include <string>

namespace {

std::wstring gLogFile;

void AppendLine(const std::wstring& line) {
    HANDLE file = ::CreateFileW(gLogFile.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::wstring text = line + L"\n";
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

void Record(const wchar_t* name, POINT client) {
    AppendLine(std::wstring(name) + L" " + std::to_wstring(client.x) + L" " +
               std::to_wstring(client.y));
}

const wchar_t* ButtonMessageName(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return L"WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return L"WM_LBUTTONUP";
    case WM_MBUTTONDOWN:
        return L"WM_MBUTTONDOWN";
    case WM_MBUTTONUP:
        return L"WM_MBUTTONUP";
    case WM_RBUTTONDOWN:
        return L"WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
        return L"WM_RBUTTONUP";
    default:
        return nullptr;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const wchar_t* name = ButtonMessageName(message)) {
        Record(name, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        // Passed on: the default handling of WM_RBUTTONUP is what sends WM_CONTEXTMENU.
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_CONTEXTMENU) {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1) {  // from the keyboard: there is no point
            Record(L"WM_CONTEXTMENU", point);
            return 0;
        }
        // A right click on the caption sends it too; only the client area counts.
        ::ScreenToClient(window, &point);
        RECT client{};
        ::GetClientRect(window, &client);
        if (::PtInRect(&client, point)) {
            Record(L"WM_CONTEXTMENU", point);
            return 0;
        }
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int RecordButtons(HINSTANCE instance, const wchar_t* title) {
    // No CS_DBLCLKS: a quick second click must arrive as a plain button-down.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"JumpnestWitness";
    if (!::RegisterClassW(&windowClass)) return 1;
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 100,
                                    100, 600, 400, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    ::SetForegroundWindow(window);
    AppendLine(L"ready");

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const std::wstring mode = argv[1];
    gLogFile = argv[2];
    int exitCode = 2;
    if (mode == L"--record") {
        exitCode = RecordButtons(instance, argc > 3 ? argv[3] : L"Jumpnest Witness");
    } else if (mode == L"--started") {
        std::wstring line = L"started";
        for (int i = 3; i < argc; ++i) line += L" " + std::wstring(argv[i]);
        AppendLine(line);
        exitCode = 0;
    }
    ::LocalFree(argv);
    return exitCode;
}
