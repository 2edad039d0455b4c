// imageformats/libqvelda.so: MSX pictures in every program that reads
// images through Qt's QImageReader (Gwenview, the previews of Qt's file
// dialogs, KDE's programs), as velda-convert's PNG would show them
// (viewer_image.h). Read-only; the same source builds for Qt 5 and Qt 6.
//
// Qt picks a plugin by the format a program names or by the file's
// extension, both in small letters (qvelda.json lists them), and asks it
// whether it can read the device. A picture's mode is in its name: a file
// read through a QFile is known by its path, and takes its palette file and
// second page from its folder as velda-convert does; other devices (a
// QBuffer: Gwenview reads the file into one and names its extension) are
// known by the format alone, and made as the file would be alone. Whether
// the plugin reads a device is told by that name and the file's first
// bytes together (the plan of the file), never by a BSAVE mark alone.
#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QIODevice>

#include <cstring>
#include <new>

#include "image/picture_file.h"
#include "loaders/viewer_image.h"
#include "platform/names.h"

namespace velda {
namespace {

// What a device is named as: the path of its file, or the format alone.
struct DeviceName {
    std::string path;       // "" for no file
    PictureName extension;  // with an empty stem, where there is no path
};

DeviceName NameOf(QIODevice* device, const QByteArray& format) {
    const auto* file = qobject_cast<QFile*>(device);
    if (file != nullptr && !file->fileName().isEmpty()) {
        return DeviceName{QFile::encodeName(file->fileName()).toStdString(), {}};
    }
    return DeviceName{"", PictureName{"", format.toStdString()}};
}

bool IsClaimed(const QByteArray& format) {
    for (const char* const* extension = ClaimedExtensions; *extension != nullptr; ++extension) {
        if (format == *extension) return true;
    }
    return false;
}

class PictureHandler : public QImageIOHandler {
public:
    // Whether `device` holds a picture VELDA reads under the name it has:
    // its plan is not refused. Nothing of the device is taken.
    static bool CanRead(QIODevice* device, const QByteArray& format) {
        if (device == nullptr || !device->isReadable()) return false;
        const DeviceName name = NameOf(device, format);
        PictureRequest request;
        request.name = name.path.empty() ? name.extension : PictureName{"", SplitPath(name.path).extension};
        const QByteArray start = device->peek(static_cast<qint64>(MaxPictureFileBytes));
        const auto* bytes = reinterpret_cast<const uint8_t*>(start.constData());
        return !PlanPicture(bytes, static_cast<std::size_t>(start.size()), request).refusal;
    }

    bool canRead() const override { return CanRead(device(), format()); }

    bool read(QImage* image) override {
        const DeviceName name = NameOf(device(), format());
        try {
            const QByteArray file = device()->read(static_cast<qint64>(MaxPictureFileBytes));
            const auto* bytes = reinterpret_cast<const uint8_t*>(file.constData());
            const auto size = static_cast<std::size_t>(file.size());
            ViewerImage picture;
            const LoadError refusal = name.path.empty()
                                          ? MakeViewerImage(bytes, size, name.extension, nullptr, picture)
                                          : MakeViewerImageOf(bytes, size, name.path, picture);
            if (refusal) {
                qWarning("velda: %s: %s", name.path.empty() ? "picture" : name.path.c_str(),
                         DescribeLoadError(refusal).c_str());
                return false;
            }
            QImage shown(picture.width, picture.height, QImage::Format_RGB888);
            if (shown.isNull()) return false;
            const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
            for (int y = 0; y < picture.height; ++y) {
                std::memcpy(shown.scanLine(y), picture.rgb.data() + y * rowBytes, rowBytes);
            }
            *image = shown;
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
};

}  // namespace

class PicturePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QImageIOHandlerFactoryInterface" FILE "qvelda.json")

public:
    // Read-only. With no device (Qt listing the formats it reads), any of
    // the claimed formats; with one, only where its name and bytes make a
    // picture, so that another format's file of a shared extension stays
    // that format's.
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
        if (!format.isEmpty() && !IsClaimed(format)) return {};
        if (device == nullptr) return format.isEmpty() ? Capabilities{} : CanRead;
        return PictureHandler::CanRead(device, format) ? CanRead : Capabilities{};
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
        auto* handler = new PictureHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};

}  // namespace velda

#include "qt_image_plugin.moc"
