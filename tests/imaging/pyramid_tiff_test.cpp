// Pyramidal TIFF files as libtiff reads them back: one tiled image per level, the reduced
// ones marked so, each holding the render reduced 2^n times (deflate: byte for byte; JPEG:
// the picture over black, closely), classic or BigTIFF, tiles written from several threads.
#include "imaging/tiff/pyramid_tiff.h"

#include "core/base/error.h"
#include "core/view/pyramid_builder.h"
#include "core/view/reduced_view.h"
#include "support/random_scenes.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <tiffio.h>

namespace lumexa
{
namespace
{

std::vector<uint8_t> Reduced(const DotRenderer& renderer, int level)
{
    const int factor = 1 << level;
    const int w = ReducedLength(renderer.width(), factor);
    const int h = ReducedLength(renderer.height(), factor);
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    RenderReduced(renderer, {0, 0, renderer.width(), renderer.height()}, factor, out.data(),
                  static_cast<size_t>(w) * 4);
    return out;
}

struct Case {
    const char* name;
    TileFormat format;
    bool big;
};

TEST(PyramidTiff, LevelsReadBackAsTheReducedRenders)
{
    const Case cases[] = {{"deflate", TileFormat::Png, false},
                          {"deflate, BigTIFF", TileFormat::Png, true},
                          {"JPEG", TileFormat::Jpeg, false}};
    testing::ScratchFolder scratch;
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        const testing::OwnedScene owned = testing::RandomScene(rng, false);
        const DotRenderer renderer(owned.scene);
        const Pyramid pyramid = Pyramid::Tiled(renderer.width(), renderer.height(), 16);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
            const std::string path = scratch.file("p.tif");
            {
                PyramidTiff file(path, pyramid, c.format, 95, Compression::Fast, 300);
                if (c.big)
                    file.setBigTiffFrom(0);
                ASSERT_TRUE(BuildPyramid(renderer, pyramid, file, 3));
                file.commit();
            }
            char magic[4] = {};
            std::ifstream(path, std::ios::binary).read(magic, 4);
            EXPECT_EQ(magic[2], c.big ? 43 : 42);

            TIFF* tiff = TIFFOpen(path.c_str(), "r");
            ASSERT_NE(tiff, nullptr);
            int level = 0;
            do {
                SCOPED_TRACE("level " + std::to_string(level));
                ASSERT_LT(level, pyramid.levels());
                uint32_t w = 0, h = 0, tw = 0, th = 0, kind = 99;
                uint16_t samples = 0;
                ASSERT_TRUE(TIFFIsTiled(tiff));
                TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
                TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
                TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tw);
                TIFFGetField(tiff, TIFFTAG_TILELENGTH, &th);
                TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
                TIFFGetFieldDefaulted(tiff, TIFFTAG_SUBFILETYPE, &kind);
                EXPECT_EQ(static_cast<int>(w), pyramid.levelWidth(level));
                EXPECT_EQ(static_cast<int>(h), pyramid.levelHeight(level));
                EXPECT_EQ(tw, 16u);
                EXPECT_EQ(th, 16u);
                EXPECT_EQ(kind, level == 0 ? 0u : static_cast<uint32_t>(FILETYPE_REDUCEDIMAGE));
                if (c.format == TileFormat::Jpeg)
                    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
                const std::vector<uint8_t> want = Reduced(renderer, level);
                std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tiff)));
                // JPEG keeps the mean of each 8 x 8 block of a tile closely, not the noise of
                // random LED pictures: its tiles are compared block by block.
                const int block = c.format == TileFormat::Jpeg ? 8 : 1;
                double difference = 0;
                for (uint32_t ty = 0; ty < h; ty += th)
                    for (uint32_t tx = 0; tx < w; tx += tw) {
                        ASSERT_GT(TIFFReadTile(tiff, tile.data(), tx, ty, 0, 0), 0);
                        for (uint32_t by = ty; by < std::min(h, ty + th); by += block)
                            for (uint32_t bx = tx; bx < std::min(w, tx + tw); bx += block) {
                                double got[3] = {}, ref[3] = {};
                                for (uint32_t y = by; y < std::min(h, by + block); ++y)
                                    for (uint32_t x = bx; x < std::min(w, bx + block); ++x) {
                                        const uint8_t* g =
                                            tile.data() + ((y - ty) * tw + (x - tx)) * samples;
                                        const uint8_t* r =
                                            want.data() + (static_cast<size_t>(y) * w + x) * 4;
                                        if (c.format == TileFormat::Png) {
                                            ASSERT_TRUE(std::equal(g, g + 4, r)) << x << ", " << y;
                                        }
                                        for (int ch = 0; ch < 3; ++ch) {
                                            got[ch] += g[ch];
                                            ref[ch] += r[ch];
                                        }
                                    }
                                for (int ch = 0; ch < 3; ++ch)
                                    difference = std::max(difference, std::abs(got[ch] - ref[ch]) /
                                                                          (block * block));
                            }
                    }
                if (c.format == TileFormat::Jpeg) {
                    EXPECT_LT(difference, 24.0);
                }
                ++level;
            } while (TIFFReadDirectory(tiff));
            EXPECT_EQ(level, pyramid.levels());
            TIFFClose(tiff);
        }
    }
}

TEST(PyramidTiff, AFileNeverCommittedLeavesTheEarlierOne)
{
    testing::ScratchFolder scratch;
    const std::string path = scratch.file("p.tif");
    std::ofstream(path) << "earlier";
    std::mt19937 rng(9);
    const testing::OwnedScene owned = testing::RandomScene(rng, false);
    const DotRenderer renderer(owned.scene);
    const Pyramid pyramid = Pyramid::Tiled(renderer.width(), renderer.height(), 16);
    {
        PyramidTiff file(path, pyramid, TileFormat::Png, 85, Compression::Fast, 300);
        std::stop_source stop;
        stop.request_stop();
        EXPECT_FALSE(BuildPyramid(renderer, pyramid, file, 2, stop.get_token()));
    }
    std::string text;
    std::getline(std::ifstream(path), text);
    EXPECT_EQ(text, "earlier");
    EXPECT_EQ(scratch.entries(), 1u);
}

TEST(PyramidTiff, RefusesOverlappingTiles)
{
    testing::ScratchFolder scratch;
    EXPECT_THROW(PyramidTiff(scratch.file("p.tif"), Pyramid::DeepZoom(100, 100), TileFormat::Png,
                             85, Compression::Fast, 300),
                 Error);
}

} // namespace
} // namespace lumexa
