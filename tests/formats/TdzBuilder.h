#pragma once
// Builds ".TDZ" files byte by byte after the DOS tool's layout, so the import
// tests need no sample files: three CR LF lines, "*", the counts, the word
// table, extension, group and tie-line records and the slot section.
#include <QByteArray>
#include <QList>

#include <array>

namespace tdz {

struct Ext {
    int number = 100;
    int index = 0;
    QByteArray name;
    int flagsA = 0;
    int flagsB = 0;
};

struct Group {
    QByteArray name;
    int pickup = 0, hunt = 0, callForward = 0;
    QList<int> members; // lead first
    int count = -1;     // member count byte; -1 = members.size()
    int trailer = 0;    // the ignored word at the end of the record
};

struct Tie {
    QByteArray name;
    char kind = 'S';
    char dialling = 'L';
    int ext1 = 0, ext2 = 0;
    int ddi = 0, dial9 = 0;
    std::array<int, 8> routes{};
};

inline void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

inline void putName(QByteArray &out, const QByteArray &name)
{
    QByteArray field = name.left(13);
    field.append(QByteArray(13 - field.size(), '\0'));
    out.append(field);
}

struct File {
    QByteArray line1 = "HELMWISE V02.03";
    QByteArray line2 = "Ship tool";
    QByteArray line3 = "";
    char tag = '*';
    QList<Ext> exts;
    QList<Group> groups;
    QList<Tie> ties;
    bool slotMap = false;
    std::array<int, 15> map{};

    QByteArray bytes() const
    {
        QByteArray out = line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n";
        out.append(tag);
        out.append(char(exts.size()));
        out.append(char(ties.size()));
        for (int k = 0; k < exts.size(); ++k)
            putWord(out, 0x1234 + k);
        for (const Ext &e : exts) {
            putWord(out, e.number);
            putWord(out, e.index);
            putName(out, e.name);
            out.append('\0');
            out.append(char(e.flagsA));
            out.append(char(e.flagsB));
            out.append(QByteArray(3, '\0'));
        }
        out.append(char(groups.size()));
        for (const Group &g : groups) {
            putName(out, g.name);
            out.append(char(g.pickup));
            out.append(char(g.hunt));
            out.append(char(g.callForward));
            out.append(char(g.count < 0 ? g.members.size() : g.count));
            for (int m = 0; m < 10; ++m)
                putWord(out, m < g.members.size() ? g.members[m] : 0);
            putWord(out, g.trailer);
        }
        for (const Tie &t : ties) {
            putName(out, t.name);
            out.append(t.kind);
            out.append(t.dialling);
            putWord(out, t.ext1);
            putWord(out, t.ext2);
            out.append(char(t.ddi));
            out.append(char(t.dial9));
            for (int r : t.routes)
                putWord(out, r);
        }
        if (!slotMap) {
            out.append('$');
        } else {
            out.append('#');
            putWord(out, 0);
            for (int w : map)
                putWord(out, w);
        }
        return out;
    }
};

} // namespace tdz
