/* locale_charset() of the small iconv: the name of the system's 8-bit code page, "CPnnn". */
#ifndef VELMORA_WIN_LOCALCHARSET_H
#define VELMORA_WIN_LOCALCHARSET_H

#ifdef __cplusplus
extern "C" {
#endif

const char* locale_charset(void);

#ifdef __cplusplus
}
#endif

#endif
