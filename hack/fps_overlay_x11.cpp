#include "fps_overlay_x11.h"

#include <string>

#include "monotonic_clock.h"

namespace sorvanta::hack {

FpsOverlay::FpsOverlay(Display* display, bool enabled) : display_(display) {
  if (!enabled) {
    return;
  }
  font_ = XLoadQueryFont(display, "fixed");
  if (font_ == nullptr) {
    return;
  }
  lists_ = glGenLists(kGlyphCount);
  glXUseXFont(font_->fid, kFirstGlyph, kGlyphCount, static_cast<int>(lists_));
}

FpsOverlay::~FpsOverlay() {
  if (font_ != nullptr) {
    glDeleteLists(lists_, kGlyphCount);
    XFreeFont(display_, font_);
  }
}

void FpsOverlay::frameDrawn(int width, int height) {
  if (font_ == nullptr) {
    return;
  }
  rate_.frameDrawn(monotonicSeconds());
  draw(width, height);
}

// Top-left corner, over everything; every state it touches is put back.
void FpsOverlay::draw(int width, int height) {
  const std::string text = rate_.text().empty() ? "FPS: ..." : rate_.text();
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
  glDisable(GL_STENCIL_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor3f(1.0f, 1.0f, 0.0f);
  // One raster position a character: Mesa's lists for glyphs without pixels, such as
  // the space, don't move the raster position on. The font has fixed widths.
  const int advance = font_->max_bounds.width;
  for (std::size_t i = 0; i < text.size(); ++i) {
    glRasterPos2i(8 + static_cast<int>(i) * advance, height - 8 - font_->ascent);
    glCallList(lists_ + static_cast<GLuint>(static_cast<unsigned char>(text[i])) - kFirstGlyph);
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}

}  // namespace sorvanta::hack
