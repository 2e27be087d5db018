// Any bytes as a chosen photo: the structure check and Qt's decoders behind it must answer
// with a picture or an error, never crash, hang or run away with memory.
#include "image_check.hpp"
#include "photo_reader.hpp"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The JPEG and GIF decoders are plugins, found through the application.
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A few bytes may declare a large picture the budget allows; decoding it is sound but slow
    // under the sanitizers, and teaches the fuzzer nothing the small ones do not.
    const auto inspection = veidora::image::inspect({data, size});
    if (inspection.ok() && inspection.largestArea > (1u << 22))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const veidora::ui::PhotoLoad loaded =
        veidora::ui::decodePhoto(bytes, QStringLiteral("fuzz"), QSize(1028, 1284));
    if (loaded.image.isNull() == loaded.error.isEmpty())
        __builtin_trap(); // exactly one of a picture and an error
    return 0;
}
