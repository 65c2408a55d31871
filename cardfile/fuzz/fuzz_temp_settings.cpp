// The unfinished card's settings file (qt.lib) on arbitrary bytes, then the card inside it.
#include "cardfile/iexml.h"
#include "cardfile/temp_card.h"

#include "cardfile/fuzz/fuzz_init.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quelt_fuzz_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString text;
    if (!TempCardFile::card_text_of(QByteArray(reinterpret_cast<const char *>(data), int(size)), &text))
        return 0;
    // The text came out of the bytes: it cannot be longer than they are.
    if (quint64(text.size()) * 2 > size)
        __builtin_trap();
    iexml reader;
    reader.read_card_document(text.toUtf8());
    return 0;
}
