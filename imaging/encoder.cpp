// Choosing the library's encoder: by the file name's extension, then by
// the MIME type among the encoders the library lists.
#include <stdlib.h>
#include <string.h>

#include "imaging/imaging.h"
#include "imaging/imaging_internal.h"
#include "runtime/strings.h"

namespace {

// Accepted extensions, upper case, each between dots.
const char kExtensionList[] = ".DIB.EMF.GIF.JPG.JPEG.PNG.TIF.TIFF.WMF.BMP.ICO.";

struct ExtensionMime {
    const char* extension;
    const char* mimeType;
};

// DIB is accepted by the list but has no MIME type: nothing is written.
const ExtensionMime kMimeTable[] = {
    {"BMP", "image/bmp"},  {"EMF", "image/x-emf"},  {"GIF", "image/gif"},
    {"ICO", "image/x-icon"}, {"JPG", "image/jpeg"}, {"JPEG", "image/jpeg"},
    {"PNG", "image/png"},  {"TIF", "image/tiff"},   {"TIFF", "image/tiff"},
    {"WMF", "image/x-wmf"},
};

}  // namespace

// A text the platform cannot convert gives the empty string, as no text does.
DynStr fGDIp_WideToStr(const wchar_t* text)
{
    int length = text ? lstrlenW(text) : 0;
    if (length <= 0 || length > INT32_MAX / 2)
        return DynStr();
    DynStr wide(reinterpret_cast<const char*>(text), length * 2);
    return StrFromWideOr(wide, DynStr());
}

int32_t fGDIp_EncoderClsid(const DynStr& mimeType, CLSID* classId)
{
    UINT count = 0, size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != kGdipOk || size == 0)
        return -1;
    GdipImageCodecInfo* encoders = static_cast<GdipImageCodecInfo*>(malloc(size));
    if (!encoders)
        return -kGdipOutOfMemory;
    // A list the library failed to fill holds no records to read.
    if (GdipGetImageEncoders(count, size, encoders) != kGdipOk) {
        free(encoders);
        return -1;
    }
    int32_t found = 0;
    // The records come first in the buffer; never read past it.
    UINT fits = static_cast<UINT>(size / sizeof(GdipImageCodecInfo));
    for (UINT i = 0; i < count && i < fits; ++i) {
        if (fGDIp_WideToStr(encoders[i].MimeType) == mimeType) {
            *classId = encoders[i].Clsid;
            found = static_cast<int32_t>(i) + 1;
            break;
        }
    }
    free(encoders);
    return found;
}

int32_t SaveMimeType(const DynStr& fileName, DynStr* mimeType)
{
    int32_t length = fileName.length();
    if (length == 0)
        return -1;
    int32_t dot = StrFindAny(-1, fileName, ".");
    if (dot == 0)
        return 0;
    DynStr dotted = StrConcat(StrUpper(StrMid(fileName, dot, length - dot + 1)), DynStr("."));
    if (StrFind(1, DynStr(kExtensionList), dotted) == 0)
        return 0;
    DynStr extension = StrTrimTrailing(StrTrimLeading(dotted, DynStr(".")), DynStr("."));
    for (const ExtensionMime& entry : kMimeTable) {
        if (extension == DynStr(entry.extension)) {
            *mimeType = DynStr(entry.mimeType);
            return 1;
        }
    }
    return 0;
}
