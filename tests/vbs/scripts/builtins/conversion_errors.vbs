' Conversions refuse Null (94), text that is no number (13) and values out of range (6).
On Error Resume Next
Dim x
x = CInt(Null)
out.Print Err.Number
Err.Clear
x = CStr(Null)
out.Print Err.Number
Err.Clear
x = CLng("abc")
out.Print Err.Number
Err.Clear
x = CInt(40000)
out.Print Err.Number
Err.Clear
x = CByte(-1)
out.Print Err.Number
Err.Clear
x = CDate("32/13/2024")
out.Print Err.Number
Err.Clear
x = CBool("")
out.Print Err.Number
Err.Clear
x = Left("abc", -1)
out.Print Err.Number
Err.Clear
x = Mid("abc", 0)
out.Print Err.Number
Err.Clear
x = Chr(300)
out.Print Err.Number
Err.Clear
x = Space(Null)
out.Print Err.Number
Err.Clear
x = Replace(Null, "a", "b")
out.Print Err.Number
Err.Clear
x = Asc("")
out.Print Err.Number
' EXPECT:
' 94
' 94
' 13
' 6
' 6
' 13
' 13
' 5
' 5
' 5
' 94
' 94
' 5
