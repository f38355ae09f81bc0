// The report engine's members as scripts call them, in the order of its interface, with VB's declared
// parameter types (Integer parameters round halves to even, Null for a String stops with error 94).
#pragma once

class DispatchClass;

const DispatchClass& CustomReportMembers();
