// Record members from text lines of the form "Name;Wert", the style of the value import: numbers
// with the German decimal comma, dates as "dd.mm.yyyy", codes and bits as whole numbers, texts as
// they stand. A name may end in "#k" to address load case k. Lines without ";" and lines starting
// with "//" are ignored; leading and trailing blanks of name and value do not count.
#pragma once

#include "framework/CommonRecord.h"
#include "framework/RecordBytes.h"
#include "framework/RecordMembers.h"

#include <span>
#include <string_view>

namespace velmoran {

// Stores one value into a member; raises EConvertError when the text does not fit the member.
void SetMemberFromText(TMutableView view, const MemberInfo& member, std::string_view value);

// Applies every line to the record, in order; raises EConvertError naming the line for an unknown
// name, a bad load-case index or a value that does not convert.
void ApplyRecordText(std::string_view text, TCommonRecord& record);

// The same for a record without load cases, given its member directory.
void ApplyRecordText(std::string_view text, TMutableView record, std::span<const MemberInfo> members);

}  // namespace velmoran
