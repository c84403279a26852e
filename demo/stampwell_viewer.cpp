// Stampwell.exe of the demo payload: a window that shows the example pictures of the folder
// it is installed in, one at a time. Left and Right (or a click) turn the pages.
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

namespace stampwell::demo {
namespace {

using Microsoft::WRL::ComPtr;

constexpr char kWindowTitle[] = "Quendra Stampwell";
constexpr char kClassName[] = "QuendraStampwellDemo";

struct Picture {
  std::string path;
  std::string name;  // relative to the installation folder
};

std::string InstallFolder() {
  char path[MAX_PATH * 2] = {};
  GetModuleFileNameA(nullptr, path, sizeof path - 1);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::vector<Picture> FindPictures(const std::string& root) {
  std::vector<Picture> pictures;
  WIN32_FIND_DATAA found{};
  std::vector<std::string> categories;
  if (unique_find search{FindFirstFileA((root + "Example\\*").c_str(), &found)}) {
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
        categories.push_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
  }
  std::sort(categories.begin(), categories.end());
  for (const auto& category : categories) {
    std::vector<std::string> names;
    for (const char* pattern : {"*.png", "*.gif"}) {
      unique_find files(FindFirstFileA((root + "Example\\" + category + "\\" + pattern).c_str(), &found));
      if (!files) continue;
      do names.push_back(found.cFileName);
      while (FindNextFileA(files.get(), &found));
    }
    std::sort(names.begin(), names.end());
    for (const auto& name : names)
      pictures.push_back({root + "Example\\" + category + "\\" + name, "Example\\" + category + "\\" + name});
  }
  return pictures;
}

// The first frame of a picture file as a 32-bit top-down DIB section; null if it can't be read.
HBITMAP LoadPicture(IWICImagingFactory* factory, const std::string& path, SIZE& size) {
  int wide = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wpath(wide, L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wpath.data(), wide);
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (FAILED(factory->CreateDecoderFromFilename(wpath.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 8192 || height > 8192)
    return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits))))
    return nullptr;
  size = {static_cast<LONG>(width), static_cast<LONG>(height)};
  return bitmap.release();
}

class Viewer {
 public:
  Viewer() : pictures_(FindPictures(InstallFolder())) {
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_));
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    if (message == WM_NCCREATE)
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
    auto* self = reinterpret_cast<Viewer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wparam, lparam);
    try {
      return self->Handle(window, message, wparam, lparam);
    } catch (...) {
      return DefWindowProcA(window, message, wparam, lparam);
    }
  }

 private:
  LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_KEYDOWN:
        if (wparam == VK_RIGHT || wparam == VK_SPACE || wparam == VK_NEXT) Turn(window, 1);
        if (wparam == VK_LEFT || wparam == VK_BACK || wparam == VK_PRIOR) Turn(window, -1);
        if (wparam == VK_ESCAPE) DestroyWindow(window);
        return 0;
      case WM_LBUTTONDOWN:
        Turn(window, 1);
        return 0;
      case WM_RBUTTONDOWN:
        Turn(window, -1);
        return 0;
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT:
        Paint(window);
        return 0;
      case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
  }

  void Turn(HWND window, int step) {
    if (pictures_.empty()) return;
    int count = static_cast<int>(pictures_.size());
    current_ = (current_ + step + count) % count;
    shown_.reset();
    InvalidateRect(window, nullptr, FALSE);
  }

  void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    unique_hbrush background(CreateSolidBrush(RGB(32, 32, 40)));
    FillRect(dc, &client, background.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(230, 230, 230));
    std::string caption;
    if (pictures_.empty()) {
      caption = "No example pictures in " + InstallFolder();
    } else {
      if (!shown_ && factory_) shown_.reset(LoadPicture(factory_.Get(), pictures_[current_].path, shown_size_));
      caption = pictures_[current_].name + "   (" + std::to_string(current_ + 1) + " of " +
                std::to_string(pictures_.size()) + ")";
      if (shown_) DrawFitted(dc, client);
      else caption += "   cannot be shown";
    }
    RECT line = {client.left + 8, client.bottom - 24, client.right - 8, client.bottom - 4};
    DrawTextA(dc, caption.c_str(), -1, &line, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    EndPaint(window, &ps);
  }

  void DrawFitted(HDC dc, const RECT& client) {
    int area_width = client.right - 16, area_height = client.bottom - 40;
    if (area_width <= 0 || area_height <= 0) return;
    double scale = std::min(static_cast<double>(area_width) / shown_size_.cx,
                            static_cast<double>(area_height) / shown_size_.cy);
    int w = std::max(1, static_cast<int>(shown_size_.cx * scale));
    int h = std::max(1, static_cast<int>(shown_size_.cy * scale));
    unique_hdc memory(CreateCompatibleDC(dc));
    scoped_select_object select(memory.get(), shown_.get());
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 8 + (area_width - w) / 2, 8 + (area_height - h) / 2, w, h, memory.get(), 0, 0, shown_size_.cx,
               shown_size_.cy, SRCCOPY);
  }

  std::vector<Picture> pictures_;
  int current_ = 0;
  ComPtr<IWICImagingFactory> factory_;
  unique_hbitmap shown_;
  SIZE shown_size_{};
};

}  // namespace
}  // namespace stampwell::demo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  using namespace stampwell::demo;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int result = 0;
  {
    Viewer viewer;
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = &Viewer::Procedure;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    window_class.lpszClassName = kClassName;
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                                  520, nullptr, nullptr, instance, &viewer);
    if (window) {
      ShowWindow(window, show);
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
      result = 0;
    } else {
      result = 1;
    }
  }
  CoUninitialize();
  return result;
}
