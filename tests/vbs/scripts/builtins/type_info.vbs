' IsNull, IsEmpty, IsObject, IsArray, TypeName and VarType look at the value itself; IsNumeric and
' IsDate read texts the Italian way and take a field's value; VarType of a field is its value's.
Dim v, a(2), o, f
Set o = out
Set f = out.Field(Null)
out.Print IsEmpty(v) & " " & IsEmpty("") & " " & IsEmpty(Nothing) & " " & IsNull(Null) & " " & IsNull(v) & " " & IsNull(f)
out.Print IsObject(o) & " " & IsObject(Nothing) & " " & IsObject(out.Field(1)) & " " & IsObject(1) & " " & IsArray(a) & " " & IsArray(Split("a b")) & " " & IsArray("a") & " " & IsArray(Null)
out.Print IsNumeric("12,5") & " " & IsNumeric("1.234") & " " & IsNumeric("1.234,5") & " " & IsNumeric(" -3 ") & " " & IsNumeric("&HFF") & " " & IsNumeric(32768.4) & " " & IsNumeric(True) & " " & IsNumeric(Empty)
out.Print IsNumeric("12a") & " " & IsNumeric("1.5x") & " " & IsNumeric(Null) & " " & IsNumeric(Now) & " " & IsNumeric(a) & " " & IsNumeric(Nothing)
out.Print IsNumeric(out.Field(1)) & " " & IsNumeric(out.Field("test")) & " " & IsNumeric(out.Field(1, False))
out.Print IsDate("31/12/2024") & " " & IsDate("31/12/2024 08:30") & " " & IsDate(Now) & " " & IsDate(out.Field("01/01/2000")) & " " & IsDate("31/02/2024") & " " & IsDate("4") & " " & IsDate(3) & " " & IsDate(Empty) & " " & IsDate(Nothing)
out.Print TypeName(v) & " " & TypeName(Null) & " " & TypeName(1) & " " & TypeName(40000) & " " & TypeName(1.5) & " " & TypeName(CSng(0.5)) & " " & TypeName(CCur(0.5)) & " " & TypeName("0,5")
out.Print TypeName(True) & " " & TypeName(Nothing) & " " & TypeName(a) & " " & TypeName(CByte(1)) & " " & TypeName(f) & " " & TypeName(o)
out.Print VarType(v) & " " & VarType(Null) & " " & VarType(1) & " " & VarType(40000) & " " & VarType(1.5) & " " & VarType(CCur(1)) & " " & VarType(Now) & " " & VarType("x")
out.Print VarType(True) & " " & VarType(CByte(1)) & " " & VarType(a) & " " & VarType(Nothing) & " " & VarType(out.Field(1, False)) & " " & VarType(out.Field("x")) & " " & (VarType(a) = vbArray + vbVariant)
out.Print (o Is out) & " " & (f Is Nothing)
Set o = Nothing
out.Print o Is Nothing
' EXPECT:
' True False False True False False
' True True True False True True False False
' True True True True True True True True
' False False False False False False
' True False False
' True True True True False False False False False
' Empty Null Integer Long Double Single Currency String
' Boolean Nothing Variant() Byte Campo TestOutput
' 0 1 2 3 5 6 7 8
' 11 17 8204 9 9 8 True
' True False
' True
