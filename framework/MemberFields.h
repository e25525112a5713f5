// Value tables that show record members: declaring a table's fields from a compact list,
// filling the fields of the current row from the record members of the same name, and storing
// a field's value back into its member.
#pragma once

#include "framework/RecordBytes.h"
#include "framework/RecordMembers.h"
#include "memtable/DataSet.h"

#include <initializer_list>
#include <span>
#include <string_view>

namespace velmoran {

// Declares the fields of a closed table from a list of blank-separated entries "Name" (a float
// field) or "Name:Kind" with Kind "S<n>" (text of at most n characters), "I" (integer),
// "Sm" (small integer), "W" (word) or "D" (date).
void DeclareFields(TDataSet& table, std::string_view fields);

// The member of that exact name in one of the areas, or nullptr.
const MemberInfo* FindMemberIn(std::span<const MemberInfo> members, std::string_view name,
                               std::initializer_list<MemberArea> areas);

// Fills every field of the current row (in edit or insert state) whose name is a member of one
// of the areas with that member's value: doubles into float fields, texts into text fields (cut
// to the field's size), dates into date fields, bytes and bits into integer fields, and a double
// into an integer field rounded half to even. A value the field cannot hold (a date or whole
// number out of its range) leaves the field empty.
void FillFieldsFromMembers(TDataSet& table, TConstView record, std::span<const MemberInfo> members,
                           std::initializer_list<MemberArea> areas);

// Sets one field from one member as above.
void FillFieldFromMember(TField& field, TConstView record, const MemberInfo& member);

// True when both fields hold the same value in the same native form (both empty counts as same).
bool SameFieldValue(const TField& a, const TField& b);

// Stores the field's value into the member: texts (up to 255 characters), dates, doubles (from a
// float or an integer field), bytes and bits. An empty field or a whole number outside the
// member's range is not stored. Only the member's own bytes (and bits) change.
void StoreFieldInMember(const TField& field, TMutableView record, const MemberInfo& member);

}  // namespace velmoran
