// Build tool: writes the program's heart icon as a PNG for the desktop's icon theme, decoded
// by the same icon-file parser the program uses. Usage: autoshutdown_icon_png OUTPUT.png
#include <cstdio>

#include <QImage>

#include "ui/icon_file.h"
#include "ui/templates/resources.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  const std::optional<autoshutdown::IconImage> icon = autoshutdown::ParseIconFile(autoshutdown::HeartIconFile());
  if (!icon || icon->image.empty()) {
    std::fprintf(stderr, "the heart icon does not decode\n");
    return 1;
  }
  const auto& image = icon->image;
  const QImage png(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
                   QImage::Format_ARGB32);
  return png.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
