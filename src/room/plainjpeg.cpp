#include "plainjpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's own error handler prints and ends the process; this one goes back
// to the decoder's start, and notes warnings, which Qt's reader would print.
struct QuietErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf start;
    bool warned = false;
};

[[noreturn]] void giveUp(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<QuietErrors*>(info->err)->start, 1);
}

// Messages above the trace level are the ones libjpeg would not print either.
void noteMessage(j_common_ptr info, int level)
{
    if (level <= info->err->trace_level)
        reinterpret_cast<QuietErrors*>(info->err)->warned = true;
}

void printNothing(j_common_ptr) {}

bool isPlain(const jpeg_decompress_struct& info)
{
    if (info.data_precision != 8)
        return false;
    return (info.num_components == 3 && (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB))
        || (info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE);
}

// The resolution as Qt's reader takes it from the JFIF header: only a density
// per inch or per centimetre is one.
void setResolution(const jpeg_decompress_struct& info, QImage& image)
{
    if (info.density_unit == 1) {
        image.setDotsPerMeterX(int(100. * info.X_density / 2.54));
        image.setDotsPerMeterY(int(100. * info.Y_density / 2.54));
    } else if (info.density_unit == 2) {
        image.setDotsPerMeterX(int(100. * info.X_density));
        image.setDotsPerMeterY(int(100. * info.Y_density));
    }
}

// Rows are decoded top first and each goes straight to its place from the
// bottom. No C++ object lives across a jump back to the start: `image` is the caller's.
bool decodeInto(jpeg_decompress_struct& info, QuietErrors& errors, const QByteArray& file, qint64 pixelLimit,
                QImage& image)
{
    if (setjmp(errors.start))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.constData()), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !isPlain(info)
        || qint64(info.image_width) * info.image_height > pixelLimit)
        return false;
    // dct_method and do_fancy_upsampling stay at libjpeg's defaults, as Qt's reader leaves them.
    info.out_color_space = JCS_EXT_RGBA;
    if (!jpeg_start_decompress(&info) || info.output_components != 4)
        return false;
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_ARGB32);
    if (image.isNull())
        return false;
    const int height = image.height();
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height) {
        const int top = int(info.output_scanline);
        const int count = qMin(16, height - top);
        for (int i = 0; i < count; ++i)
            rows[i] = bits + (height - 1 - top - i) * stride;
        if (jpeg_read_scanlines(&info, rows, JDIMENSION(count)) == 0 || errors.warned)
            return false;
    }
    jpeg_finish_decompress(&info);
    setResolution(info, image);
    return !errors.warned;
}

} // namespace

bool isJpegData(const QByteArray& file)
{
    return file.startsWith(QByteArray("\xff\xd8\xff", 3));
}

QImage decodePlainJpeg(const QByteArray& file, qint64 pixelLimit)
{
    if (!isJpegData(file))
        return QImage();
    jpeg_decompress_struct info = {};
    QuietErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = giveUp;
    errors.manager.emit_message = noteMessage;
    errors.manager.output_message = printNothing;
    QImage image;
    const bool decoded = decodeInto(info, errors, file, pixelLimit, image);
    jpeg_destroy_decompress(&info);
    return decoded ? image : QImage();
}
