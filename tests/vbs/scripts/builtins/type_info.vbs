' IsNull, IsEmpty, IsNumeric, IsDate, IsObject, IsArray, TypeName and VarType.
Dim v, a(2), o
Set o = out
out.Print IsEmpty(v) & " " & IsEmpty("") & " " & IsNull(Null) & " " & IsNull(v)
out.Print IsNumeric("12,5") & " " & IsNumeric("1.234") & " " & IsNumeric("12a") & " " & IsNumeric(Empty) & " " & IsNumeric(Null)
out.Print IsDate("31/12/2024") & " " & IsDate("31/02/2024") & " " & IsDate(Now) & " " & IsDate(3)
out.Print IsObject(o) & " " & IsObject(Nothing) & " " & IsObject(1)
out.Print IsArray(a) & " " & IsArray(Split("a b")) & " " & IsArray("a")
out.Print TypeName(v) & " " & TypeName(Null) & " " & TypeName(1) & " " & TypeName(40000) & " " & TypeName(1.5)
out.Print TypeName("x") & " " & TypeName(True) & " " & TypeName(Nothing) & " " & TypeName(a) & " " & TypeName(CByte(1))
out.Print VarType(v) & " " & VarType(Null) & " " & VarType(1) & " " & VarType(40000) & " " & VarType(1.5) & " " & VarType(CCur(1))
out.Print VarType(Now) & " " & VarType("x") & " " & VarType(True) & " " & VarType(a) & " " & VarType(Nothing)
out.Print VarType(a) = vbArray + vbVariant
' EXPECT:
' True False True False
' True True False True False
' True False True False
' True True False
' True True False
' Empty Null Integer Long Double
' String Boolean Nothing Variant() Byte
' 0 1 2 3 5 6
' 7 8 11 8204 9
' True
