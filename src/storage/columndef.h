#pragma once

// One column of a table the program defines: its name and the kind of value it holds.
namespace orlu {

struct ColumnDef {
    const char *name;
    enum Type { Text, Memo, Boolean, DateTime, Float, Integer, AutoKey, Blob } type;
    int size; // characters, for Text only
};

} // namespace orlu
