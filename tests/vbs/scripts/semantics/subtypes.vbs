out.Print TypeName(1) & " " & VarType(1)
out.Print TypeName(100000) & " " & VarType(100000)
out.Print TypeName(1.5) & " " & VarType(1.5)
out.Print TypeName("s") & " " & VarType("s")
out.Print TypeName(CCur(1)) & " " & TypeName(CSng(1)) & " " & TypeName(CByte(1))
out.Print TypeName(Array()) & " " & VarType(Array(1))
out.Print TypeName(out)
' EXPECT:
' Integer 2
' Long 3
' Double 5
' String 8
' Currency Single Byte
' Variant() 8204
' TestOutput
