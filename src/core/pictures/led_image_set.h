// The LED image set: up to 128 LED images, all of the size of LED image 0 and at most
// 512 x 512, numbered by the slot that holds them, with at most one selected. Every
// LED file and alpha file enters the set through LoadLedImageFile.
#pragma once

#include "core/pictures/decoded_picture.h"
#include "core/pictures/led_image.h"

#include <memory>
#include <string>
#include <vector>

namespace lumexa
{

inline constexpr int kMaxLedImages = 128;

// Language string numbers of the set's refusals.
inline constexpr int kStringSetFull = 29;
inline constexpr int kStringSizeDiffers = 32;
inline constexpr int kStringTooLarge = 33;

enum LoadMode { lmAdd = 1, lmReplace = 2, lmAddAlpha = 3 };

// What a load did. A refusal leaves the set as it was and says why: by a language
// string number, or, for a file that cannot be decoded, by a message naming the file.
struct LoadOutcome {
    bool changed = false;    // the set (or the logo's picture) changed
    int languageString = -1; // 29 set full, 32 size differs, 33 too large, 44 logo too large
    std::string message;

    bool refused() const { return languageString >= 0 || !message.empty(); }
};

// Told of every change, so that the strip can follow the set. An added LED image is
// announced before it is selected; one put back in the middle moves the ones after it up
// a slot. A replaced one may differ in its alpha picture too. After a removal nothing is
// selected, without a separate selection notice.
class LedImageSetObserver
{
  public:
    virtual ~LedImageSetObserver() = default;
    virtual void ledAdded(int /*n*/) {}
    virtual void ledReplaced(int /*n*/) {}
    virtual void alphaChanged(int /*n*/) {}
    virtual void ledRemoved(int /*n*/) {}
    virtual void cleared() {}
    virtual void selectionChanged() {}
};

class LedImageSet
{
  public:
    int count() const { return static_cast<int>(slots_.size()); }
    bool full() const { return count() >= kMaxLedImages; }
    const LedImage& operator[](int n) const { return *slots_[static_cast<size_t>(n)]; }
    LedImage& operator[](int n) { return *slots_[static_cast<size_t>(n)]; }

    // The count published for the render window by each preview rebuild and by Render.
    int sharedCount = 0;

    // The highest selected number, or -1 when none is selected.
    int SelectedLedImage() const;
    // Selects LED image n and deselects every other one; -1 deselects all.
    void select(int n);

    // Decodes `file` through `load` and adds it, replaces the selected LED image's
    // picture with it, or gives it to the selected LED image as alpha picture. The size
    // is tested against LED image 0 before the 512 limit. Replace and Add Alpha with
    // nothing selected do nothing.
    LoadOutcome LoadLedImageFile(const std::string& file, LoadMode mode, const PictureLoader& load);

    // Clear Alpha: the alpha picture is no longer used; the picture itself stays.
    void clearAlpha(int n);
    // Delete: LED image n goes, the ones after it move one slot down and take the
    // numbers of their new slots; nothing is selected afterwards.
    void remove(int n);
    // Delete that hands the record over instead of releasing it (an undone Add, a
    // Delete that can be undone); nullptr for a number outside the set.
    std::unique_ptr<LedImage> take(int n);
    // Puts a record taken before back at slot n (0..count): the ones from n on move one
    // slot up and are renumbered. It is announced as added and is not selected.
    void insert(int n, std::unique_ptr<LedImage> led);
    // Puts `led` in slot n in place of the record there, which is handed back: an undone
    // or redone Replace, Add Alpha or Clear Alpha. The slot keeps its number and
    // selection. nullptr (and nothing changes) for a number outside the set.
    std::unique_ptr<LedImage> exchange(int n, std::unique_ptr<LedImage> led);
    // Empties the set.
    void clear();

    bool anyAlphaInUse() const;
    // Index n holds LED image n; valid until the set changes.
    std::vector<const LedImage*> images() const;

    void setObserver(LedImageSetObserver* observer) { observer_ = observer; }

  private:
    // Records live on the heap so that pointers handed to a render stay put while the
    // vector of slots grows.
    std::vector<std::unique_ptr<LedImage>> slots_;
    LedImageSetObserver* observer_ = nullptr;
};

// Decodes a picture file for the set or the logo: the loader's error text, or a
// message naming the file for an empty picture, ends up in `outcome.message`.
// Returns false when the file was refused.
bool DecodeForLoad(const std::string& file, const PictureLoader& load, DecodedPicture& decoded,
                   LoadOutcome& outcome);

} // namespace lumexa
