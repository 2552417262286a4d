// The LED strip: one 130 x 130 panel per LED image in ScrollBox1, 136 pixels apart,
// with its thumbnail, white-on-black name and size labels and the "S" and "A" marks.
// The strip follows the LED image set through the set's observer.
#pragma once

#include "core/pictures/led_image_set.h"

#include <QColor>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QFrame;
class QLabel;
class QScrollArea;
class QWidget;

namespace lumexa
{

inline constexpr int kStripPitch = 136;
inline constexpr int kPanelSize = 130;
inline constexpr int kThumbnailSize = 128;

// The controls of one entry. `number` is the LED image number the entry shows; clicks
// are told by it, never by parsing a control's name.
struct StripEntry {
    int number = 0;
    QFrame* panel = nullptr;
    QLabel* thumbnail = nullptr;
    QLabel* nameShadow = nullptr;
    QLabel* nameLabel = nullptr;
    QLabel* sizeShadow = nullptr;
    QLabel* sizeLabel = nullptr;
    QLabel* scaledShadow = nullptr;
    QLabel* scaledMark = nullptr;
    QLabel* alphaShadow = nullptr;
    QLabel* alphaMark = nullptr;
};

// "PanelK07", "ImageK07"; three digits from 100 on.
QString PanelName(int number);
QString ThumbnailName(int number);
// "[&07], led.bmp": the caption of an entry (the file name without its folder).
QString EntryCaption(int number, const std::string& fileName);

// The channel-wise blend of the LED picture over the button face through its alpha
// picture: a = alpha x 0.00392, trunc((1 - a) x face + a x led).
QImage ComposeThumbnail(const LedImage& led, QColor buttonFace);

class LedStrip : public QObject, public LedImageSetObserver
{
    Q_OBJECT
  public:
    LedStrip(LedImageSet& set, QScrollArea* scrollBox, QObject* parent = nullptr);
    ~LedStrip() override;

    // F of the entry geometry: minus the pixel height of the window's font.
    void setFontHeight(int f) { fontHeight_ = f; }
    // Scrolls the strip to `x` (limited to its range).
    void scrollTo(int x);

    const StripEntry* entry(int n) const;
    int entryCount() const { return static_cast<int>(entries_.size()); }
    // Counts the changes of the set's pictures (add, replace, delete, empty), so that
    // copies of them can tell when they are stale.
    int pictureChanges() const { return pictureChanges_; }

    // LedImageSetObserver
    void ledAdded(int n) override;
    void ledReplaced(int n) override;
    void alphaChanged(int n) override;
    void ledRemoved(int n) override;
    void cleared() override;
    void selectionChanged() override;

  signals:
    // A panel or a thumbnail of LED image `n` was clicked.
    void ledClicked(int n);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildStripEntry(int n);
    void RebuildStripEntry(int n);
    void buildThumbnailAndLabels(StripEntry& e, const LedImage& led);
    void showPicture(StripEntry& e, const QImage& image);
    void renumber(StripEntry& e, int n);
    void resizeContents();
    QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, bool white);

    LedImageSet& set_;
    QScrollArea* scrollBox_;
    QWidget* contents_;
    std::vector<std::unique_ptr<StripEntry>> entries_;
    int fontHeight_ = -11;
    int pictureChanges_ = 0;
};

} // namespace lumexa
