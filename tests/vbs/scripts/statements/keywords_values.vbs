out.Print TypeName(True) & " " & CInt(True) & " " & CInt(False)
out.Print TypeName(Empty) & " " & TypeName(Null) & " " & TypeName(Nothing)
out.Print IsEmpty(Empty) & " " & IsNull(Null)
Dim o
Set o = Nothing
out.Print o Is Nothing
Set o = out
out.Print o Is out
out.Print o Is Nothing
' EXPECT:
' Boolean -1 0
' Empty Null Nothing
' True True
' True
' True
' False
