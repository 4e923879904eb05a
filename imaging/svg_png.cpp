#include "imaging/svg_png.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <memory>

namespace imaging {

namespace {

struct HandleUnref {
  void operator()(RsvgHandle* h) const { g_object_unref(h); }
};
struct SurfaceDestroy {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroy {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void Fail(std::string* error, std::string_view why) {
  if (error) *error = why;
}

// The largest side cairo's image surfaces take.
constexpr int kMaxSide = 32767;

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig, under librsvg's text layout, keeps its font patterns until the process ends by design; the
// leak checker is told so, and still reports everything else.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

std::string SvgToPng(std::string_view svg, int width, int height, std::string* error) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    Fail(error, "image size out of range");
    return {};
  }
  GError* gerror = nullptr;
  std::unique_ptr<RsvgHandle, HandleUnref> handle(
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &gerror));
  if (!handle) {
    Fail(error, gerror ? gerror->message : "the SVG could not be read");
    if (gerror) g_error_free(gerror);
    return {};
  }
  std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    Fail(error, cairo_status_to_string(cairo_surface_status(surface.get())));
    return {};
  }
  std::unique_ptr<cairo_t, ContextDestroy> cr(cairo_create(surface.get()));
  const RsvgRectangle viewport{0, 0, static_cast<double>(width), static_cast<double>(height)};
  if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &gerror)) {
    Fail(error, gerror ? gerror->message : "the SVG could not be rendered");
    if (gerror) g_error_free(gerror);
    return {};
  }
  cairo_surface_flush(surface.get());
  std::string png;
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), AppendBytes, &png);
  if (status != CAIRO_STATUS_SUCCESS) {
    Fail(error, cairo_status_to_string(status));
    return {};
  }
  return png;
}

}  // namespace imaging
