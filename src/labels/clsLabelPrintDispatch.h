// The label engine's members as scripts call them, with VB's declared parameter types (so Integer
// parameters round halves to even and Null for a String stops with error 94).
#pragma once

class DispatchClass;

const DispatchClass& LabelPrintMembers();
