#include "examples/gallery/Screenshot.h"

#include <wincodec.h>

#include <vector>

#include "classlib/GdiScopes.h"

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

std::string HrText(const char* what, HRESULT hr) {
  char buf[96];
  wsprintfA(buf, "%s failed (0x%08lX)", what, static_cast<unsigned long>(hr));
  return buf;
}

}  // namespace

std::string SaveWindowScreenshot(HWND wnd, const std::string& pngPath) {
  RECT r{};
  if (!GetWindowRect(wnd, &r)) return "no window";
  return SaveScreenScreenshot(r, pngPath);
}

std::string SaveScreenScreenshot(const RECT& r, const std::string& pngPath) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return "empty window";

  // Read the screen under the window into 32-bit top-down pixels.
  std::vector<BYTE> pixels(size_t(width) * size_t(height) * 4);
  ScreenDC screen;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  {
    GdiObject<HBITMAP> dib(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib) return "CreateDIBSection failed";
    MemoryDC mem(screen, dib);
    BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size());
  }

  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string error;
  {
    ComRef<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    std::wstring wpath(pngPath.begin(), pngPath.end());
    if (FAILED(hr)) error = HrText("WIC factory", hr);
    if (error.empty() && FAILED(hr = factory->CreateStream(&stream))) error = HrText("CreateStream", hr);
    if (error.empty() && FAILED(hr = stream->InitializeFromFilename(wpath.c_str(), GENERIC_WRITE)))
      error = HrText("opening the file", hr);
    if (error.empty() && FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)))
      error = HrText("CreateEncoder", hr);
    if (error.empty() && FAILED(hr = encoder->Initialize(stream.p, WICBitmapEncoderNoCache)))
      error = HrText("Initialize", hr);
    if (error.empty() && FAILED(hr = encoder->CreateNewFrame(&frame, nullptr))) error = HrText("CreateNewFrame", hr);
    if (error.empty() && FAILED(hr = frame->Initialize(nullptr))) error = HrText("frame Initialize", hr);
    if (error.empty() && FAILED(hr = frame->SetSize(UINT(width), UINT(height)))) error = HrText("SetSize", hr);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    if (error.empty() && FAILED(hr = frame->SetPixelFormat(&format))) error = HrText("SetPixelFormat", hr);
    if (error.empty() &&
        FAILED(hr = frame->WritePixels(UINT(height), UINT(width) * 4, UINT(pixels.size()), pixels.data())))
      error = HrText("WritePixels", hr);
    if (error.empty() && FAILED(hr = frame->Commit())) error = HrText("frame Commit", hr);
    if (error.empty() && FAILED(hr = encoder->Commit())) error = HrText("Commit", hr);
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return error;
}
