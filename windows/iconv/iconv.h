/* A small iconv for Windows over MultiByteToWideChar and WideCharToMultiByte: enough for
 * the spreadsheet reader, which converts whole strings of a Windows code page or UTF-16LE
 * to UTF-8. Charset names are "UTF-8", "UTF-16LE", "ASCII", "CPnnn", "WINDOWS-nnn" and
 * "ISO-8859-n"; any other name fails with EINVAL. */
#ifndef VELMORA_WIN_ICONV_H
#define VELMORA_WIN_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
