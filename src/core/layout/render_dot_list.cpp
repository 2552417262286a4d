// Packing render dots into words.
#include "core/layout/render_dot_list.h"

#include <algorithm>
#include <bit>

namespace lumexa
{

namespace
{

// Bits that hold every whole number below `limit`.
int bitsBelow(int64_t limit)
{
    return limit <= 1 ? 0 : std::bit_width(static_cast<uint64_t>(limit - 1));
}

} // namespace

RenderDotList::RenderDotList(std::initializer_list<RenderDot> dots)
{
    reserve(dots.size());
    for (const RenderDot& d : dots)
        push_back(d);
}

RenderDotList::RenderDotList(const std::vector<RenderDot>& dots)
{
    reserve(dots.size());
    for (const RenderDot& d : dots)
        push_back(d);
}

void RenderDotList::setFieldWidths(int xBits, int yBits)
{
    xBits_ = xBits;
    xMask_ = (uint64_t{1} << xBits) - 1;
    yMask_ = (uint64_t{1} << yBits) - 1;
    kindShift_ = xBits + yBits;
    rotationShift_ = kindShift_ + 8;
}

void RenderDotList::setBounds(int64_t width, int64_t height)
{
    int xBits = bitsBelow(width);
    int yBits = bitsBelow(height);
    // A result too large for the words (no layout makes one: its grid would pass the cell
    // limit) keeps the widths it had; its dots are kept whole.
    if (xBits + yBits > kPositionBits) {
        xBits = xBits_;
        yBits = kindShift_ - xBits_;
    }
    const std::vector<RenderDot> kept(begin(), end());
    if (storage_)
        storage_ = std::make_shared<Storage>();
    setFieldWidths(xBits, yBits);
    reserve(kept.size());
    for (const RenderDot& d : kept)
        push_back(d);
}

RenderDotList::Storage& RenderDotList::own()
{
    if (!storage_)
        storage_ = std::make_shared<Storage>();
    else if (storage_.use_count() > 1)
        storage_ = std::make_shared<Storage>(*storage_);
    return *storage_;
}

uint64_t RenderDotList::pack(const RenderDot& d)
{
    const bool fits = d.x >= 0 && static_cast<uint64_t>(d.x) <= xMask_ && d.y >= 0 &&
                      static_cast<uint64_t>(d.y) <= yMask_ && d.kind >= 0 && d.kind <= 0xFF &&
                      d.rotation >= 0 && d.rotation <= 0x1FF;
    if (fits)
        return static_cast<uint64_t>(d.x) | static_cast<uint64_t>(d.y) << xBits_ |
               static_cast<uint64_t>(d.kind) << kindShift_ |
               static_cast<uint64_t>(d.rotation) << rotationShift_;
    Storage& s = own();
    s.loose.push_back(d);
    return kLoose | (s.loose.size() - 1);
}

void RenderDotList::reserve(size_t count)
{
    own().words.reserve(count);
}

void RenderDotList::clear()
{
    storage_.reset();
}

void RenderDotList::resize(size_t count)
{
    Storage& s = own();
    s.words.resize(count, pack(RenderDot{}));
}

void RenderDotList::push_back(const RenderDot& dot)
{
    const uint64_t word = pack(dot);
    own().words.push_back(word);
}

void RenderDotList::insert(size_t at, const RenderDot& dot)
{
    const uint64_t word = pack(dot);
    std::vector<uint64_t>& words = own().words;
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(at), word);
}

void RenderDotList::set(size_t i, const RenderDot& dot)
{
    const uint64_t word = pack(dot);
    own().words[i] = word;
}

void RenderDotList::swap(size_t a, size_t b)
{
    std::vector<uint64_t>& words = own().words;
    std::swap(words[a], words[b]);
}

bool operator==(const RenderDotList& a, const RenderDotList& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace lumexa
