#pragma once

// The same fault met row after row while a table is filled: the first rows get a box each, the rest are named
// together in one closing box, so that thousands of faulty rows cannot bury the clerk in boxes.

#include <QString>
#include <QVector>

namespace balance
{

enum class RowFault {
    position_code, // the position classifier does not hold the code
    facet_code,    // the facet classifier does not hold the code
};

class RowFaultBoxes
{
public:
    // Rows that get a box of their own.
    static constexpr int own_boxes = 3;
    // Row numbers the closing box lists before it shortens the list to "…, last".
    static constexpr int listed_rows = 10;

    explicit RowFaultBoxes(RowFault fault) : fault(fault) {}

    // Notes the fault in row `row`; true when that row gets its own box.
    bool own_box(int row);
    // Text of the closing box, naming the rows past the own boxes; empty when there are none.
    QString closing_text() const;

private:
    RowFault fault;
    int count = 0;
    QVector<int> listed; // the first folded rows
    int last = 0;        // the last folded row
};

} // namespace balance
