// Writes the benchmark workbook with libxlsxwriter: 5000 rows x 12 columns of text, numbers and dates, like a staff
// list exported from an HR system. Usage: make_bench_xlsx <path>. A program of its own because libxlsxwriter's
// bundled minizip clashes with QuaZip's inside one process.
#include <cstdio>
#include <xlsxwriter.h>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    lxw_workbook *wb = workbook_new(argv[1]);
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Staff");
    lxw_format *date = workbook_add_format(wb);
    format_set_num_format(date, "dd.mm.yyyy");
    char text[64];
    for (int r = 0; r < 5000; ++r) {
        snprintf(text, sizeof text, "Employee %d", r);
        worksheet_write_string(ws, r, 0, text, NULL);
        snprintf(text, sizeof text, "Department %d", r % 40);
        worksheet_write_string(ws, r, 1, text, NULL);
        for (int c = 2; c < 11; ++c)
            worksheet_write_number(ws, r, c, r * 12 + c + (c % 3) * 0.25, NULL);
        lxw_datetime when = {1960 + r % 45, 1 + r % 12, 1 + r % 28, 0, 0, 0.0};
        worksheet_write_datetime(ws, r, 11, &when, date);
    }
    return workbook_close(wb) == LXW_NO_ERROR ? 0 : 1;
}
