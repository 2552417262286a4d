// Loading, selecting and removing the LED images of the set.
#include "core/pictures/led_image_set.h"

#include "core/base/error.h"
#include "core/base/shown_text.h"
#include "core/pictures/picture_pipeline.h"

#include <exception>
#include <new>

namespace lumexa
{

bool DecodeForLoad(const std::string& file, const PictureLoader& load, DecodedPicture& decoded,
                   LoadOutcome& outcome)
{
    try {
        decoded = load(file);
    } catch (const std::bad_alloc&) {
        // Out of memory is no fault of this picture: refusing it would give another
        // result without a word, so it stops the whole load.
        throw Error("Not enough memory to read picture " + ShownText(file) +
                    ": fewer or smaller pictures need less");
    } catch (const std::exception& e) {
        outcome.message = e.what();
        if (outcome.message.empty())
            outcome.message = "Cannot read picture " + ShownText(file);
        return false;
    }
    if (decoded.width <= 0 || decoded.height <= 0 ||
        decoded.rgba.size() <
            static_cast<size_t>(decoded.width) * static_cast<size_t>(decoded.height) * 4) {
        outcome.message = "Cannot read picture " + ShownText(file) + ": the picture is empty";
        return false;
    }
    return true;
}

int LedImageSet::SelectedLedImage() const
{
    for (int n = count() - 1; n >= 0; --n)
        if (slots_[static_cast<size_t>(n)]->selected)
            return n;
    return -1;
}

void LedImageSet::select(int n)
{
    for (int k = 0; k < count(); ++k)
        slots_[static_cast<size_t>(k)]->selected = k == n;
    if (observer_)
        observer_->selectionChanged();
}

LoadOutcome LedImageSet::LoadLedImageFile(const std::string& file, LoadMode mode,
                                          const PictureLoader& load)
{
    LoadOutcome outcome;
    // The strip's buttons refuse a full set before they ask for a file; this guard keeps
    // any other caller from growing the set past its slots.
    if (mode == lmAdd && full()) {
        outcome.languageString = kStringSetFull;
        return outcome;
    }
    DecodedPicture decoded;
    if (!DecodeForLoad(file, load, decoded, outcome))
        return outcome;
    const int w = decoded.width;
    const int h = decoded.height;

    // The size against LED image 0 comes first, so a picture that is both of another
    // size and too large is reported as of another size.
    if (count() > 0 && (w != slots_[0]->width || h != slots_[0]->height)) {
        outcome.languageString = kStringSizeDiffers;
        return outcome;
    }
    if (w > kMaxLedSize || h > kMaxLedSize) {
        outcome.languageString = kStringTooLarge;
        return outcome;
    }

    switch (mode) {
    case lmAddAlpha: {
        const int n = SelectedLedImage();
        if (n < 0)
            return outcome;
        LedImage& led = *slots_[static_cast<size_t>(n)];
        led.alphaPicture = DecodedToPicture(decoded, kBlack);
        led.alphaFileName = file;
        led.alphaInUse = true;
        outcome.changed = true;
        if (observer_)
            observer_->alphaChanged(n);
        break;
    }
    case lmAdd: {
        const int n = count();
        slots_.push_back(
            std::make_unique<LedImage>(MakeLedImage(DecodedToPicture(decoded, kBlack), n, file)));
        outcome.changed = true;
        if (observer_)
            observer_->ledAdded(n);
        select(n);
        break;
    }
    case lmReplace: {
        const int n = SelectedLedImage();
        if (n < 0)
            return outcome;
        // The size cannot change, so the rotation tables and centre stay; so does the
        // alpha picture and whether it is in use.
        LedImage& led = *slots_[static_cast<size_t>(n)];
        led.picture = DecodedToPicture(decoded, kBlack);
        led.fileName = file;
        outcome.changed = true;
        if (observer_)
            observer_->ledReplaced(n);
        select(n);
        break;
    }
    }
    return outcome;
}

void LedImageSet::clearAlpha(int n)
{
    if (n < 0 || n >= count())
        return;
    LedImage& led = *slots_[static_cast<size_t>(n)];
    led.alphaInUse = false;
    led.alphaFileName.clear();
    if (observer_)
        observer_->alphaChanged(n);
}

void LedImageSet::remove(int n)
{
    take(n);
}

std::unique_ptr<LedImage> LedImageSet::take(int n)
{
    if (n < 0 || n >= count())
        return nullptr;
    std::unique_ptr<LedImage> led = std::move(slots_[static_cast<size_t>(n)]);
    slots_.erase(slots_.begin() + n);
    // Numbers stay with the slots: everything after the gap is renumbered.
    for (int k = n; k < count(); ++k)
        slots_[static_cast<size_t>(k)]->number = k;
    for (auto& slot : slots_)
        slot->selected = false;
    led->selected = false;
    if (observer_)
        observer_->ledRemoved(n);
    return led;
}

void LedImageSet::insert(int n, std::unique_ptr<LedImage> led)
{
    if (!led || n < 0 || n > count() || full())
        return;
    led->selected = false;
    slots_.insert(slots_.begin() + n, std::move(led));
    for (int k = n; k < count(); ++k)
        slots_[static_cast<size_t>(k)]->number = k;
    if (observer_)
        observer_->ledAdded(n);
}

std::unique_ptr<LedImage> LedImageSet::exchange(int n, std::unique_ptr<LedImage> led)
{
    if (!led || n < 0 || n >= count())
        return nullptr;
    std::unique_ptr<LedImage>& slot = slots_[static_cast<size_t>(n)];
    led->number = n;
    led->selected = slot->selected;
    std::swap(slot, led);
    if (observer_)
        observer_->ledReplaced(n);
    return led;
}

void LedImageSet::clear()
{
    slots_.clear();
    if (observer_)
        observer_->cleared();
}

bool LedImageSet::anyAlphaInUse() const
{
    for (const auto& led : slots_)
        if (led->alphaInUse)
            return true;
    return false;
}

std::vector<const LedImage*> LedImageSet::images() const
{
    std::vector<const LedImage*> out;
    out.reserve(slots_.size());
    for (const auto& led : slots_)
        out.push_back(led.get());
    return out;
}

} // namespace lumexa
