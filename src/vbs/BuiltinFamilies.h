// The built-in functions by family; Builtins.cpp joins them into one table.
#pragma once

#include <vector>

#include "vbs/Builtins.h"

namespace vbs {

void AddStringBuiltins(std::vector<BuiltinDef>& table);
void AddArrayBuiltins(std::vector<BuiltinDef>& table);
void AddCharacterBuiltins(std::vector<BuiltinDef>& table);
void AddConversionBuiltins(std::vector<BuiltinDef>& table);
void AddMathBuiltins(std::vector<BuiltinDef>& table);
void AddDateBuiltins(std::vector<BuiltinDef>& table);
void AddDateMathBuiltins(std::vector<BuiltinDef>& table);
void AddFormattingBuiltins(std::vector<BuiltinDef>& table);
void AddTypeInfoBuiltins(std::vector<BuiltinDef>& table);
void AddPromptBuiltins(std::vector<BuiltinDef>& table);

// Named constants: lower-case name -> value.
const Variant* FindConstant(const QString& lowerName);

}  // namespace vbs
