#pragma once

#include "PlanTextArena.h"
#include "PlanUnit.h"

#include <QList>
#include <initializer_list>
#include <iterator>

// The units of a plan, packed: an address is kept as its 32-bit value, a port as its number, a MAC tail as
// three bytes, labels and notes as UTF-8 in one arena; a text that its packed form would not give back
// exactly is kept as written. A plan of hundreds of thousands of units thus takes a few tens of bytes per
// unit, and each unit is unpacked into a PlanUnit only when it is looked at.
class PlanUnitList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = PlanUnit;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = PlanUnit;

        const_iterator(const PlanUnitList *list, qsizetype index) : m_list(list), m_index(index) {}
        PlanUnit operator*() const { return m_list->at(m_index); }
        const_iterator &operator++() { return ++m_index, *this; }
        const_iterator operator++(int) { return {m_list, m_index++}; }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }

    private:
        const PlanUnitList *m_list;
        qsizetype m_index;
    };

    PlanUnitList() = default;
    PlanUnitList(std::initializer_list<PlanUnit> units);

    void append(const PlanUnit &unit);
    void clear();
    qsizetype size() const { return m_units.size(); }
    bool isEmpty() const { return m_units.isEmpty(); }
    PlanUnit at(qsizetype index) const;
    PlanUnit operator[](qsizetype index) const { return at(index); }
    // The label of a unit, without unpacking the rest.
    QString label(qsizetype index) const { return m_texts.text(m_units.at(index).unit); }

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

private:
    // How a text field is kept: not given, in its packed form, or as written in the arena.
    enum class Kept : quint8 { Empty, Packed, Written };
    // The text fields kept in a word each, in the order of their two bits in `kept`.
    enum Slot { Ip, Gateway, Mask, Port, NewPort, Mac, Slots };

    struct PackedUnit {
        qint32 line = 0;
        quint32 unit = 0;           // arena
        quint32 fields[Slots] = {}; // per slot: packed value or arena position
        quint32 notes = 0;          // arena: the note texts one after another; NoNotes when none
        quint16 kept = 0;           // two bits per slot
        bool check = true;
    };
    static constexpr quint32 NoNotes = 0xFFFFFFFF;

    void pack(PackedUnit &packed, Slot slot, const QString &text);
    QString unpack(const PackedUnit &packed, Slot slot) const;

    QList<PackedUnit> m_units;
    PlanTextArena m_texts;
    SharedPlanTexts m_shared;
};
