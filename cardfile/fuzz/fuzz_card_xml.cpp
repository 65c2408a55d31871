// The card document reader on arbitrary bytes.
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"

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
    iexml reader;
    const bool read = reader.read_card_document(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    // A refused document leaves nothing behind; a read one is a whole card.
    if (!read && (!reader.card_values.isEmpty() || !reader.balance_rows.isEmpty()))
        __builtin_trap();
    if (read && reader.card_values.size() != card_lists::read_main_size)
        __builtin_trap();
    if (reader.balance_rows.size() > max_balance_rows * card_lists::balance_row_size ||
        reader.bron_rows.size() > max_reservation_rows * card_lists::bron_row_size ||
        reader.nebron_rows.size() > max_reservation_rows * card_lists::nebron_row_size)
        __builtin_trap();
    return 0;
}
