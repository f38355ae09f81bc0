' Texts past the string space raise 14 before any memory is taken.
Dim a, x, got
a = String(10000, "a")
out.Print Len(Replace(a, "a", "bb"))
On Error Resume Next
x = Space(70000000): got = got & " " & Err.Number: Err.Clear
x = String(2000000000, "x"): got = got & " " & Err.Number: Err.Clear
x = Replace(a, "a", a): got = got & " " & Err.Number: Err.Clear
x = Join(Array(a, Space(67105000))): got = got & " " & Err.Number: Err.Clear
out.Print got
' EXPECT:
' 20000
'  14 14 14 14
