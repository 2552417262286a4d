// The dots of a render layout, eight bytes each. A long text has millions of dots, so each
// is packed into one 64-bit word: the position in as many bits as the result's size needs,
// then the LED image number and the rotation. A record that does not fit (a position
// outside the result, a negative number: never from a layout) is kept whole beside the
// words, and its word points to it, so the list holds any record and gives it back as it
// was put in.
//
// Copies share their words until one of them changes (the renderer keeps a copy of the
// scene's list without doubling its memory); a list is changed by one thread at a time.
#pragma once

#include "core/layout/dot_record.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

namespace lumexa
{

class RenderDotList
{
  public:
    RenderDotList() = default;
    RenderDotList(std::initializer_list<RenderDot> dots);
    explicit RenderDotList(const std::vector<RenderDot>& dots);

    // Sizes the position fields for dots inside a width x height result, so that the
    // dots of any layout fit their words (a list made without bounds packs positions up
    // to 2^23). Keeps the dots already in the list.
    void setBounds(int64_t width, int64_t height);

    size_t size() const { return storage_ ? storage_->words.size() : 0; }
    bool empty() const { return size() == 0; }
    void reserve(size_t count);
    void clear();
    void resize(size_t count);
    void push_back(const RenderDot& dot);
    void insert(size_t at, const RenderDot& dot);

    RenderDot operator[](size_t i) const { return unpack(storage_->words[i]); }
    RenderDot back() const { return (*this)[size() - 1]; }
    void set(size_t i, const RenderDot& dot);
    void swap(size_t a, size_t b);

    // The words themselves, for the sort and the renderer: one per dot, in list order.
    // The pointer stays valid while the list is not changed.
    const uint64_t* words() const { return storage_ ? storage_->words.data() : nullptr; }
    std::vector<uint64_t>& mutableWords() { return own().words; }
    RenderDot unpack(uint64_t word) const
    {
        if (word & kLoose)
            return storage_->loose[static_cast<size_t>(word & ~kLoose)];
        RenderDot d;
        d.x = static_cast<int32_t>(word & xMask_);
        d.y = static_cast<int32_t>((word >> xBits_) & yMask_);
        d.kind = static_cast<int32_t>((word >> kindShift_) & 0xFF);
        d.rotation = static_cast<int32_t>((word >> rotationShift_) & 0x1FF);
        return d;
    }
    // Only the y and the kind of a word, for the sort.
    int32_t yOf(uint64_t word) const
    {
        if (word & kLoose)
            return storage_->loose[static_cast<size_t>(word & ~kLoose)].y;
        return static_cast<int32_t>((word >> xBits_) & yMask_);
    }
    int32_t kindOf(uint64_t word) const
    {
        if (word & kLoose)
            return storage_->loose[static_cast<size_t>(word & ~kLoose)].kind;
        return static_cast<int32_t>((word >> kindShift_) & 0xFF);
    }

    class const_iterator
    {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = RenderDot;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RenderDot;

        const_iterator(const RenderDotList* list, size_t i) : list_(list), i_(i) {}
        RenderDot operator*() const { return (*list_)[i_]; }
        const_iterator& operator++()
        {
            ++i_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++i_;
            return before;
        }
        bool operator==(const const_iterator& other) const { return i_ == other.i_; }

      private:
        const RenderDotList* list_;
        size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    friend bool operator==(const RenderDotList& a, const RenderDotList& b);

  private:
    static constexpr uint64_t kLoose = uint64_t{1} << 63;
    // The LED image number and the rotation take 8 and 9 bits; the positions share the
    // 46 bits below them.
    static constexpr int kPositionBits = 46;

    struct Storage {
        std::vector<uint64_t> words;
        std::vector<RenderDot> loose;
    };

    uint64_t pack(const RenderDot& dot);
    Storage& own();
    void setFieldWidths(int xBits, int yBits);

    std::shared_ptr<Storage> storage_;
    int xBits_ = 23;
    uint64_t xMask_ = (uint64_t{1} << 23) - 1;
    uint64_t yMask_ = (uint64_t{1} << 23) - 1;
    int kindShift_ = 46;
    int rotationShift_ = 54;
};

} // namespace lumexa
