#include "table/JpegReader.h"

#include <jpeglib.h>
// after jpeglib.h: the message codes
#include <jerror.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

namespace skelda {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; jumping back
// to the decoder frame turns them into an ordinary failure.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char damage[JMSG_LENGTH_MAX];  // the first warning that means pixels were lost
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

// libjpeg goes on past a cut or corrupt stream with a warning and fills the rest with
// grey; those warnings make the picture an error. Others (an unknown JFIF revision, say)
// leave the pixels whole and pass.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    switch (cinfo->err->msg_code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_MUST_RESYNC:
        case JWRN_NOT_SEQUENTIAL:
        case JWRN_BOGUS_PROGRESSION:
        case JWRN_EXTRANEOUS_DATA:
            if (err->damage[0] == 0) (*cinfo->err->format_message)(cinfo, err->damage);
            break;
        default: break;
    }
    ++cinfo->err->num_warnings;
}

// Adobe writes CMYK JPEGs inverted; either way the ink is taken away from white.
void CmykToRgb(const uint8_t* in, uint8_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<uint8_t>(c * k / 255);
        out[1] = static_cast<uint8_t>(m * k / 255);
        out[2] = static_cast<uint8_t>(y * k / 255);
    }
}

// Everything that must survive a longjmp lives in `state`, outside this frame's locals.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    std::vector<uint8_t> row;
};

bool Decode(DecodeState& s, const uint8_t* data, size_t size, RgbImage& out, std::string& error) {
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = OnError;
    s.err.pub.emit_message = OnMessage;
    s.err.message[0] = 0;
    s.err.damage[0] = 0;
    if (setjmp(s.err.jump)) {
        error = s.err.message;
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    jpeg_create_decompress(&s.cinfo);
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    const uint64_t pixels =
        static_cast<uint64_t>(s.cinfo.image_width) * static_cast<uint64_t>(s.cinfo.image_height);
    if (pixels == 0 || pixels > MaxJpegPixels) {
        error = "The picture is too large (" + std::to_string(s.cinfo.image_width) + " x " +
                std::to_string(s.cinfo.image_height) + " pixels)";
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    jpeg_start_decompress(&s.cinfo);
    const int width = static_cast<int>(s.cinfo.output_width);
    const int height = static_cast<int>(s.cinfo.output_height);
    const int comps = s.cinfo.output_components;
    if ((cmyk && comps != 4) || (!cmyk && comps != 3)) {
        error = "Unsupported JPEG colour layout";
        jpeg_destroy_decompress(&s.cinfo);
        return false;
    }
    const bool adobeInverted = cmyk && s.cinfo.saw_Adobe_marker;
    out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    s.row.assign(static_cast<size_t>(width) * static_cast<size_t>(comps), 0);
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const size_t y = s.cinfo.output_scanline;
        JSAMPROW rows[1] = {s.row.data()};
        if (jpeg_read_scanlines(&s.cinfo, rows, 1) != 1) break;
        uint8_t* dst = out.pixels.data() + y * static_cast<size_t>(width) * 3;
        if (cmyk)
            CmykToRgb(s.row.data(), dst, width, adobeInverted);
        else
            std::copy(s.row.begin(), s.row.end(), dst);
    }
    const bool whole = s.cinfo.output_scanline == s.cinfo.output_height && s.err.damage[0] == 0;
    jpeg_abort_decompress(&s.cinfo);
    jpeg_destroy_decompress(&s.cinfo);
    if (!whole) {
        error = s.err.damage[0] ? s.err.damage : "Premature end of JPEG file";
        return false;
    }
    out.width = width;
    out.height = height;
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, RgbImage& out, std::string& error) {
    out = RgbImage{};
    if (data == nullptr || size == 0) {
        error = "Empty JPEG file";
        return false;
    }
    DecodeState state{};
    if (Decode(state, data, size, out, error)) return true;
    out = RgbImage{};
    return false;
}

}  // namespace skelda
