// The pictures that captions show for IMG and BODY BACKGROUND: THtmlPicture, a small graphic
// that keeps the file bytes as loaded and decodes them with the HTML library's decoders (GIF with
// a selectable frame, BMP, PNG, JPEG, icons) or plays them as metafiles (WMF, EMF) into an image
// of the size drawn, once for each size, the decoded pictures and those images within one budget
// (KeptImages.h); THtmlPictureCache, the pictures a control loaded by address, one for each file;
// and TPictureContainer, a component of named pictures.
#pragma once

#include "html/base/image/KeptImages.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class TStream;
class TGIFImage;
class TMetafileImage;

// The failure texts of picture decoding (fixed English, as every component failure).
inline constexpr const char* kPictureNoMemory = "Could not allocate memory for image";
inline constexpr const char* kPictureNoStream = "Could not create image stream";
inline constexpr const char* kPictureEmptyStream = "Empty image stream created";
inline constexpr const char* kPictureInvalidFormat = "Could not load image. Invalid format";
inline constexpr const char* kPictureNotLoaded = "Could not load image";

// The frames of a GIF as the picture scans for them: every byte position is examined, and a
// graphic control extension (0x21 0xF9, block size 4) whose next block is an image descriptor
// (0x2C, 8 bytes after the 0x21) counts as a frame; the scan may match inside image data. The
// rectangle of frame `wanted` (1-based) is read from the 8 bytes after its descriptor's
// introducer only when all 8 exist; otherwise it stays empty.
struct TGifFrameScan {
    int Count = 0;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
TGifFrameScan ScanGifFrames(const std::uint8_t* bytes, std::size_t size, int wanted);

class THtmlPicture;
using TPictureEvent = std::function<void(THtmlPicture* sender)>;
// The download events: declared for the forms; nothing loads remote pictures, so none fires.
using TDownloadProgressEvent = std::function<void(THtmlPicture* sender, int done, int total)>;
using TDownloadCancelEvent = std::function<void(THtmlPicture* sender, bool& cancel)>;
using TDownloadCompleteEvent = std::function<void(THtmlPicture* sender)>;
using TDownloadErrorEvent = std::function<void(THtmlPicture* sender, const std::string& error)>;

// The download of a remote picture: inert, it loads nothing and no thread starts.
class TDownLoadThread {
public:
    explicit TDownLoadThread(THtmlPicture* picture) : picture_(picture) {}
    THtmlPicture* Picture() const { return picture_; }
    void Execute() {}

private:
    THtmlPicture* picture_;
};

class THtmlPicture {
public:
    THtmlPicture();
    ~THtmlPicture();
    THtmlPicture(const THtmlPicture&) = delete;
    THtmlPicture& operator=(const THtmlPicture&) = delete;

    // Copies the bytes of another picture and decodes them; nullptr clears the picture.
    void Assign(const THtmlPicture* source);
    // Raises with one of the failure texts when the bytes cannot be decoded; the bytes stay.
    void LoadFromStream(TStream* stream);
    // Never raises: a file that cannot be read or decoded leaves the picture empty.
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    // Form streaming: as LoadFromStream / SaveToStream, without OnChange.
    void ReadData(TStream& stream);
    void WriteData(TStream& stream) const;
    // "RES://name" loads the program's picture ":/pictures/name"; "FILE://path" a file (a "\" in
    // the path read as "/"); any other address is only remembered (see Asynch).
    void LoadFromURL(const std::string& address);

    bool Empty() const { return empty_; }
    // The size in pixels, through the decoded picture's HIMETRIC size; 0 when not decoded.
    int Width() const;
    int Height() const;
    void SetWidth(int) {}
    void SetHeight(int) {}
    // Draws the selected frame at the rectangle's top-left corner in its own size, or stretched
    // into the rectangle with Stretch.
    void Draw(Canvas& canvas, const TRect& rect) const;

    int Frame() const { return frame_; }
    // Selects a GIF frame (1-based) and fires OnFrameChange; a frame beyond the count draws nothing
    // and is no failure: the file is sound, only the number runs past its end.
    void SetFrame(int frame);
    // -1 for anything but a GIF.
    int FrameCount();
    // The GIF's logical screen, else the picture's size.
    int FrameWidth() const;
    int FrameHeight() const;
    // The selected frame's place and size as the frame scan read them.
    TRect FrameRect() const { return {frameLeft_, frameTop_, frameLeft_ + frameWidth_, frameTop_ + frameHeight_}; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    bool Stretch = false;
    bool Asynch = true;
    const std::string& URL() const { return url_; }
    const std::string& ID() const { return id_; }
    bool DownloadStarted() const { return downloadStarted_; }

    TPictureEvent OnChange;
    TPictureEvent OnFrameChange;
    TDownloadProgressEvent OnDownLoadProgress;
    TDownloadCancelEvent OnDownLoadCancel;
    TDownloadCompleteEvent OnDownLoadComplete;
    TDownloadErrorEvent OnDownLoadError;

private:
    void Reset();
    void TakeBytes(std::vector<std::uint8_t> bytes);
    bool IsGif() const;
    void Decode();
    void DecodeBytes();
    void SelectFrame();

    std::vector<std::uint8_t> bytes_;
    bool empty_ = true;
    std::unique_ptr<TGIFImage> gif_;  // a GIF decoded once; its frames are taken from it
    QImage image_;                     // the selected frame or the still picture
    std::unique_ptr<TMetafileImage> metafile_;  // a metafile, played into an image when first drawn
    TKeptImages::Place place_;  // the decoded picture's share of the budget its metafile images have
    bool decoded_ = false;
    int himetricWidth_ = 0;
    int himetricHeight_ = 0;
    int frame_ = 1;
    int frameCount_ = -1;
    int frameLeft_ = 0, frameTop_ = 0, frameWidth_ = 0, frameHeight_ = 0;
    int screenWidth_ = 0, screenHeight_ = 0;
    std::string url_;
    std::string id_;
    bool downloadStarted_ = false;
    std::unique_ptr<TDownLoadThread> download_;
};

// The address a picture is cached and loaded under: a "FILE://" address names its file by the
// canonical path, so that every spelling of one file (the scheme's case, "\" or "/", "." and "..",
// links) finds one picture; any other address stays as it is.
std::string PictureCacheKey(const std::string& address);

// The pictures a control loaded by address, owned.
class THtmlPictureCache {
public:
    THtmlPicture* AddPicture();
    // The first picture whose ID is exactly the text (case counts), or nullptr.
    THtmlPicture* FindPicture(const std::string& id) const;
    // Frees every picture and empties the list: entries left behind would hand freed pictures to
    // FindPicture and Items.
    void ClearPictures();
    THtmlPicture* Items(int index) const { return pictures_.at(static_cast<std::size_t>(index)).get(); }
    int Count() const { return static_cast<int>(pictures_.size()); }

private:
    std::vector<std::unique_ptr<THtmlPicture>> pictures_;
};

class TPictureCollection;

class TPictureItem {
public:
    explicit TPictureItem(TPictureCollection* collection = nullptr) : collection_(collection) {}
    THtmlPicture& Picture() { return picture_; }
    const THtmlPicture& Picture() const { return picture_; }
    void SetPicture(const THtmlPicture* picture) { picture_.Assign(picture); }
    void Assign(const TPictureItem& source);
    TPictureCollection* Collection() const { return collection_; }

    std::string Name;
    int Tag = 0;

private:
    TPictureCollection* collection_;
    THtmlPicture picture_;
};

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner) : owner_(owner) {}
    TPictureContainer* Owner() const { return owner_; }
    TPictureItem& Add();
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    TPictureItem& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }

private:
    TPictureContainer* owner_;
    std::vector<std::unique_ptr<TPictureItem>> items_;
};

// Named pictures for captions; controls refer to it through a QPointer.
class TPictureContainer : public QObject {
public:
    explicit TPictureContainer(QObject* parent = nullptr) : QObject(parent), items_(this) {}
    TPictureCollection& Items() { return items_; }
    // The picture of the first item whose name, upper-cased, is the text (the caller passes an
    // upper-case name); nullptr when none.
    THtmlPicture* FindPicture(const std::string& name) const;

private:
    TPictureCollection items_;
};

}  // namespace velmoran
