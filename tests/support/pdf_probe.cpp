// Reading poppler's tool output: pdfinfo's "Page N size" lines, and the raw PPM and PGM
// files that pdfimages writes in the order its -list shows them.
#include "support/pdf_probe.h"

#include "support/command_runner.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lumexa::testing
{

namespace fs = std::filesystem;

namespace
{

// A binary PPM (3 bytes a pixel) or PGM (1 byte) as pdfimages writes them.
std::vector<uint8_t> readNetpbm(const fs::path& file, int& width, int& height)
{
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    const size_t channels = magic == "P6" ? 3 : 1;
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * channels);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return in ? bytes : std::vector<uint8_t>{};
}

} // namespace

std::vector<PdfPageSize> PdfPages(const std::string& pdf)
{
    const CommandResult run = RunShell("pdfinfo -f 1 -l 100000 " + Quote(pdf));
    EXPECT_EQ(run.status, 0) << run.output;
    std::vector<PdfPageSize> pages;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        int number = 0;
        PdfPageSize size;
        if (std::sscanf(line.c_str(), "Page %d size: %lf x %lf pts", &number, &size.width,
                        &size.height) == 3)
            pages.push_back(size);
    }
    return pages;
}

PdfPicture PdfPagePicture(const std::string& pdf, int page)
{
    const ScratchFolder scratch;
    const fs::path& dir = scratch.path();
    const std::string range = " -f " + std::to_string(page) + " -l " + std::to_string(page) + " ";
    const CommandResult list = RunShell("pdfimages -list" + range + Quote(pdf));
    const CommandResult extract =
        RunShell("pdfimages" + range + Quote(pdf) + " " + Quote((dir / "i").string()));
    EXPECT_EQ(list.status, 0) << list.output;
    EXPECT_EQ(extract.status, 0) << extract.output;

    // The list's rows after its two heading lines: page, num, type, width, height, ...
    std::vector<std::string> types;
    std::istringstream lines(list.output);
    std::string line;
    for (int n = 0; std::getline(lines, line); ++n) {
        std::istringstream fields(line);
        int pageNumber = 0, num = 0;
        std::string type;
        if (n >= 2 && fields >> pageNumber >> num >> type)
            types.push_back(type);
    }

    PdfPicture picture;
    char name[32];
    for (size_t i = 0; i < types.size(); ++i) {
        std::snprintf(name, sizeof name, "i-%03zu", i);
        // Soft masks come out as .ppm or .pgm depending on poppler's version.
        fs::path file = dir / (std::string(name) + ".ppm");
        if (!fs::exists(file))
            file.replace_extension(".pgm");
        int w = 0, h = 0;
        const std::vector<uint8_t> bytes = readNetpbm(file, w, h);
        if (bytes.empty() || (picture.width != 0 && w != picture.width)) {
            ADD_FAILURE() << "cannot read " << file << " of width " << w;
            return {};
        }
        picture.width = w;
        if (types[i] == "smask") {
            // The mask of the strip read just before it.
            const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
            const size_t step = bytes.size() / count; // 3 when written as grey RGB
            uint8_t* strip = picture.rgba.data() + picture.rgba.size() - count * 4;
            for (size_t p = 0; p < count; ++p)
                strip[p * 4 + 3] = bytes[p * step];
            continue;
        }
        for (size_t p = 0; p < bytes.size() / 3; ++p)
            picture.rgba.insert(picture.rgba.end(),
                                {bytes[p * 3], bytes[p * 3 + 1], bytes[p * 3 + 2], 255});
        picture.height += h;
    }
    return picture;
}

std::vector<PdfWord> PdfPageWords(const std::string& pdf, int page)
{
    const std::string n = std::to_string(page);
    const CommandResult run =
        RunShell("pdftotext -bbox -f " + n + " -l " + n + " " + Quote(pdf) + " -");
    EXPECT_EQ(run.status, 0) << run.output;
    // Lines such as: <word xMin="1.0" yMin="2.0" xMax="3.0" yMax="4.0">A1</word>
    std::vector<PdfWord> words;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        PdfWord w;
        char text[256] = {};
        if (std::sscanf(line.c_str(),
                        " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%255[^<]",
                        &w.left, &w.top, &w.right, &w.bottom, text) == 5) {
            w.text = text;
            words.push_back(w);
        }
    }
    return words;
}

} // namespace lumexa::testing
