// Draws the demo library's pictures: a few PNG files (and one BMP) made from simple formulas,
// so the repository carries no binary pictures. Usage: make_pictures FOLDER
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};
using Painter = std::function<Rgb(double x, double y)>;  // x, y in [0, 1)

constexpr int kWidth = 640, kHeight = 480;

uint8_t clampByte(double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<uint8_t>(v); }
Rgb mix(Rgb a, Rgb b, double t) {
    return {clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
            clampByte(a.b + (b.b - a.b) * t)};
}

void putBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putBE32(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    putBE32(out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

std::vector<uint8_t> encodePng(const Painter& paint) {
    std::vector<uint8_t> raw;
    raw.reserve((kWidth * 3 + 1) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < kWidth; ++x) {
            Rgb c = paint(double(x) / kWidth, double(y) / kHeight);
            raw.insert(raw.end(), {c.r, c.g, c.b});
        }
    }
    uLongf packedSize = compressBound(raw.size());
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), raw.size(), 9);
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    putBE32(header, kWidth);
    putBE32(header, kHeight);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

std::vector<uint8_t> encodeBmp(const Painter& paint) {
    const uint32_t row = kWidth * 3, size = 54 + row * kHeight;
    std::vector<uint8_t> bmp(54, 0);
    auto le32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    le32(2, size);
    le32(10, 54);
    le32(14, 40);
    le32(18, kWidth);
    le32(22, kHeight);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = kHeight - 1; y >= 0; --y)  // bottom-up rows, BGR
        for (int x = 0; x < kWidth; ++x) {
            Rgb c = paint(double(x) / kWidth, double(y) / kHeight);
            bmp.insert(bmp.end(), {c.b, c.g, c.r});
        }
    return bmp;
}

Rgb sunrise(double x, double y) {
    Rgb sky = mix({255, 140, 60}, {40, 60, 140}, y < 0.6 ? 1 - y / 0.6 : 0);
    double d = std::hypot(x - 0.5, (y - 0.62) * 0.75);
    if (d < 0.12) sky = mix({255, 240, 150}, sky, d / 0.12 * 0.3);
    if (y > 0.62) sky = mix({20, 40, 90}, {60, 90, 160}, std::sin(y * 120) * 0.5 + 0.5);
    return sky;
}

Rgb waves(double x, double y) {
    double h = 0.5 + 0.08 * std::sin(x * 18 + 1) + 0.04 * std::sin(x * 43);
    double t = std::fabs(y - h) * 6;
    return y < h ? mix({190, 225, 250}, {90, 160, 220}, y / h) : mix({30, 120, 170}, {5, 40, 80}, t);
}

Rgb mountains(double x, double y) {
    double far = 0.45 + 0.12 * std::fabs(std::sin(x * 5.1)) + 0.05 * std::sin(x * 23);
    double nearLine = 0.65 + 0.1 * std::fabs(std::sin(x * 3.3 + 2)) + 0.03 * std::sin(x * 41);
    if (y > nearLine) return mix({60, 110, 60}, {20, 60, 30}, (y - nearLine) * 3);
    if (y > far) return mix({120, 130, 160}, {80, 90, 120}, (y - far) * 4);
    return mix({230, 240, 255}, {150, 190, 235}, 1 - y / far);
}

Rgb nightSky(double x, double y) {
    Rgb c = mix({5, 5, 30}, {30, 20, 70}, y);
    unsigned h = static_cast<unsigned>(x * kWidth) * 2654435761u ^ static_cast<unsigned>(y * kHeight) * 40503u;
    if ((h >> 7) % 211 == 0) c = {255, 255, 220};
    if (std::hypot(x - 0.78, (y - 0.22) * 0.75) < 0.07) c = {245, 240, 200};
    return c;
}

Rgb rings(double x, double y) {
    double d = std::hypot(x - 0.5, (y - 0.5) * 0.75);
    double t = std::sin(d * 60) * 0.5 + 0.5;
    return mix({250, 200, 40}, {200, 30, 90}, t);
}

Rgb checkerboard(double x, double y) {
    bool dark = (int(x * 8) + int(y * 6)) % 2;
    return dark ? Rgb{40, 40, 40} : Rgb{235, 235, 225};
}

bool writeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    struct Picture {
        const char* name;
        Painter paint;
        bool bmp;
    };
    const Picture pictures[] = {
        {"Sunrise 日出.png", sunrise, false},   {"Waves 海浪.png", waves, false},
        {"Mountains 山.png", mountains, false}, {"Night sky 夜空.png", nightSky, false},
        {"Rings 圆环.png", rings, false},       {"Checkerboard 棋盘.bmp", checkerboard, true},
    };
    for (const auto& p : pictures)
        if (!writeFile(dir + p.name, p.bmp ? encodeBmp(p.paint) : encodePng(p.paint))) {
            std::fprintf(stderr, "make_pictures: cannot write %s%s\n", dir.c_str(), p.name);
            return 1;
        }
    return 0;
}
