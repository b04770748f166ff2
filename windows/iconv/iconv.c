/* See iconv.h. Each call converts the whole input it is given: the input is never split
 * in the middle of a character by the callers this serves. */
#include "iconv.h"
#include "localcharset.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define CP_UTF16LE 1200u

struct converter {
    unsigned from;
    unsigned to;
};

static int same(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'a' && x <= 'z')
            x = (char)(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = (char)(y - 'a' + 'A');
        if (x != y)
            return 0;
    }
    return *a == *b;
}

/* The code page of a charset name, 0 when there is none. */
static unsigned code_page(const char* name)
{
    char* end;
    unsigned long n;
    if (same(name, "UTF-8") || same(name, "UTF8"))
        return CP_UTF8;
    if (same(name, "UTF-16LE") || same(name, "UCS-2LE"))
        return CP_UTF16LE;
    if (same(name, "ASCII") || same(name, "US-ASCII"))
        return 20127u;
    if ((name[0] == 'C' || name[0] == 'c') && (name[1] == 'P' || name[1] == 'p'))
        name += 2;
    else if (strlen(name) > 8 && _strnicmp(name, "WINDOWS-", 8) == 0)
        name += 8;
    else if (strlen(name) > 9 && _strnicmp(name, "ISO-8859-", 9) == 0) {
        n = strtoul(name + 9, &end, 10);
        return (*end == '\0' && n >= 1 && n <= 15) ? (unsigned)(28590u + n) : 0u;
    } else
        return 0;
    n = strtoul(name, &end, 10);
    if (*end != '\0' || n == 0 || n > 65535)
        return 0;
    return IsValidCodePage((UINT)n) ? (unsigned)n : 0u;
}

iconv_t iconv_open(const char* tocode, const char* fromcode)
{
    struct converter* c;
    unsigned to = code_page(tocode), from = code_page(fromcode);
    if (to == 0 || from == 0) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    c = (struct converter*)malloc(sizeof *c);
    if (!c) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    c->from = from;
    c->to = to;
    return c;
}

int iconv_close(iconv_t cd)
{
    free(cd);
    return 0;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft)
{
    const struct converter* c = (const struct converter*)cd;
    wchar_t* wide;
    int wlen, olen;
    if (cd == (iconv_t)-1 || cd == NULL) {
        errno = EBADF;
        return (size_t)-1;
    }
    /* A call without input resets the (stateless) converter. */
    if (!inbuf || !*inbuf || *inbytesleft == 0)
        return 0;
    if (*inbytesleft > 0x3fffffff) {
        errno = E2BIG;
        return (size_t)-1;
    }
    if (c->from == CP_UTF16LE) {
        if (*inbytesleft % 2) {
            errno = EINVAL;
            return (size_t)-1;
        }
        wlen = (int)(*inbytesleft / 2);
        wide = (wchar_t*)malloc(((size_t)wlen + 1) * sizeof(wchar_t));
        if (!wide) {
            errno = ENOMEM;
            return (size_t)-1;
        }
        memcpy(wide, *inbuf, (size_t)wlen * 2);
    } else {
        wlen = MultiByteToWideChar(c->from, MB_ERR_INVALID_CHARS, *inbuf, (int)*inbytesleft, NULL, 0);
        if (wlen <= 0) {
            errno = EILSEQ;
            return (size_t)-1;
        }
        wide = (wchar_t*)malloc(((size_t)wlen + 1) * sizeof(wchar_t));
        if (!wide) {
            errno = ENOMEM;
            return (size_t)-1;
        }
        MultiByteToWideChar(c->from, 0, *inbuf, (int)*inbytesleft, wide, wlen);
    }
    if (c->to == CP_UTF16LE) {
        olen = wlen * 2;
        if ((size_t)olen > *outbytesleft) {
            free(wide);
            errno = E2BIG;
            return (size_t)-1;
        }
        memcpy(*outbuf, wide, (size_t)olen);
    } else {
        olen = WideCharToMultiByte(c->to, 0, wide, wlen, NULL, 0, NULL, NULL);
        if (olen <= 0) {
            free(wide);
            errno = EILSEQ;
            return (size_t)-1;
        }
        if ((size_t)olen > *outbytesleft) {
            free(wide);
            errno = E2BIG;
            return (size_t)-1;
        }
        WideCharToMultiByte(c->to, 0, wide, wlen, *outbuf, olen, NULL, NULL);
    }
    free(wide);
    *inbuf += *inbytesleft;
    *inbytesleft = 0;
    *outbuf += olen;
    *outbytesleft -= (size_t)olen;
    return 0;
}

const char* locale_charset(void)
{
    static char name[16];
    snprintf(name, sizeof name, "CP%u", (unsigned)GetACP());
    return name;
}
