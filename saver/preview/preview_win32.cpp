#include "saver/preview/preview_win32.h"

#include <windows.h>

#include "saver/preview/preview.h"
#include "saver/text/wide_text_win32.h"

namespace Sorvanta_B {
namespace {

constexpr UINT_PTR kParentWatchTimer = 1;
constexpr UINT kParentWatchMilliseconds = 500;

// Resource names of the two pictures (preview.rc).
constexpr wchar_t kFormPictureName[] = L"SORVANTA_PREVIEW_FORM";
constexpr wchar_t kImagePictureName[] = L"SORVANTA_PREVIEW_IMAGE";

// What the form window owns; freed when the window goes.
struct PreviewForm {
  HWND parent = nullptr;
  HBITMAP formPicture = nullptr;
  HBITMAP imagePicture = nullptr;
  PreviewSize imageControl{kPreviewPictureWidth, kPreviewPictureHeight};  // Img_Prev
};

PreviewForm* formOf(HWND window) {
  return reinterpret_cast<PreviewForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Draws a picture at its own size from (0, 0), cut to the given area.
void drawPicture(HDC target, HBITMAP picture, PreviewSize area) {
  if (picture == nullptr) {
    return;
  }
  const PreviewSize part = visiblePicturePart(area);
  HDC source = CreateCompatibleDC(target);
  HGDIOBJ previous = SelectObject(source, picture);
  BitBlt(target, 0, 0, part.width, part.height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

void paint(HWND window, const PreviewForm& form) {
  PAINTSTRUCT paintInfo;
  HDC target = BeginPaint(window, &paintInfo);
  RECT client{};
  GetClientRect(window, &client);
  const PreviewSize formArea{client.right, client.bottom};
  drawPicture(target, form.formPicture, formArea);
  drawPicture(target, form.imagePicture, form.imageControl);
  EndPaint(window, &paintInfo);
}

// Unload of the form: it posts WM_CLOSE to its own window, and as the preview is the
// only form of the process, the process's loop ends with it.
void unload(HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostQuitMessage(0);
}

void release(HWND window) {
  PreviewForm* form = formOf(window);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (form != nullptr) {
    DeleteObject(form->formPicture);
    DeleteObject(form->imagePicture);
    delete form;
  }
}

LRESULT CALLBACK previewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PreviewForm* form = formOf(window);
  switch (message) {
    case WM_PAINT:
      if (form != nullptr) {
        paint(window, *form);
        return 0;
      }
      break;
    case WM_TIMER:
      // The host normally destroys its children with its window; this catches a host
      // in another process whose window went without taking the preview along.
      if (wParam == kParentWatchTimer && form != nullptr && !IsWindow(form->parent)) {
        DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      KillTimer(window, kParentWatchTimer);
      unload(window);
      return 0;
    case WM_NCDESTROY:
      release(window);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void registerFormClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = previewProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kPreviewClassName;
  RegisterClassW(&windowClass);  // a second registration fails harmlessly
}

HBITMAP loadPicture(HINSTANCE instance, const wchar_t* name) {
  return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Loads the form: created hidden, borderless, with its pictures.
HWND loadForm(HINSTANCE instance, HWND parent) {
  registerFormClass(instance);
  HWND window = CreateWindowExW(0, kPreviewClassName, widen(kPreviewCaption).c_str(), WS_POPUP, 0,
                                0, kPreviewPictureWidth, kPreviewPictureHeight, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) {
    return nullptr;
  }
  auto* form = new PreviewForm;
  form->parent = parent;
  form->formPicture = loadPicture(instance, kFormPictureName);
  form->imagePicture = loadPicture(instance, kImagePictureName);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  return window;
}

}  // namespace

void embedPreview(void* instance, std::uint32_t parentHandle) {
  HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(parentHandle));
  RECT parentRect{};
  GetWindowRect(parent, &parentRect);
  const PreviewSize size =
      previewFormSize(parentRect.left, parentRect.top, parentRect.right, parentRect.bottom);

  HWND window = loadForm(static_cast<HINSTANCE>(instance), parent);
  if (window == nullptr) {
    PostQuitMessage(0);  // nothing to show: end the loop rather than run invisibly
    return;
  }
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CHILD);
  SetParent(window, parent);
  MoveWindow(window, 0, 0, size.width, size.height, FALSE);
  formOf(window)->imageControl = size;  // Img_Prev at (0, 0) with the form's size
  ShowWindow(window, SW_SHOWNOACTIVATE);

  if (!IsWindow(parent)) {
    DestroyWindow(window);  // no host to live in
    return;
  }
  SetTimer(window, kParentWatchTimer, kParentWatchMilliseconds, nullptr);
}

}  // namespace Sorvanta_B
