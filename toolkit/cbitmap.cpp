#include "toolkit/cbitmap.h"

#include "platform/canvas.h"
#include "platform/picture.h"
#include "toolkit/bmp_decoder.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/resource_table.h"

namespace toolkit {
namespace {

platform::PixelRect deviceRect(const CDrawContext& context, const CRect& rect) {
  return platform::PixelRect{rect.left + context.offset.h, rect.top + context.offset.v, rect.right + context.offset.h,
                             rect.bottom + context.offset.v};
}

}  // namespace

CBitmap::CBitmap(int id) : resourceId(id) { load(id); }

CBitmap::~CBitmap() = default;

void CBitmap::draw(CDrawContext* context, const CRect& rect, CPoint offset) {
  if (!image || !context || !context->getDevice()) return;
  context->getDevice()->drawPicture(*image, deviceRect(*context, rect), offset.h, offset.v);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, CPoint offset) {
  if (!image || !context || !context->getDevice()) return;
  const platform::Rgb key{transparentColor.red, transparentColor.green, transparentColor.blue};
  context->getDevice()->drawPictureKeyed(*image, deviceRect(*context, rect), offset.h, offset.v, key);
}

void CBitmap::drawBlended(CDrawContext* context, const CRect& rect, CPoint offset, std::uint8_t alpha) {
  if (!image || !context || !context->getDevice()) return;
  context->getDevice()->drawPictureBlended(*image, deviceRect(*context, rect), offset.h, offset.v, alpha);
}

void CBitmap::unload() {
  image.reset();
  width = 0;
  height = 0;
}

bool CBitmap::load(int id) {
  unload();
  resourceId = id;
  // Resource numbers are 16 bits wide.
  const EmbeddedResource* resource = findResource(id & 0xffff);
  if (!resource) return false;
  DecodedImage decoded;
  if (!decodeBmp(resource->data, resource->size, decoded)) return false;
  image = platform::Picture::fromRgb(decoded.width, decoded.height, decoded.pixels.data());
  if (!image) return false;
  width = decoded.width;
  height = decoded.height;
  return true;
}

bool CBitmap::loadOther(const void*) {
  unload();
  return false;
}

}  // namespace toolkit
