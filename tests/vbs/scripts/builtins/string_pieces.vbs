' Len, Left, Right and Mid: pieces of texts, numbers read as their Italian text, lengths rounded half
' to even, Null let through, a field's value taken; then the refusals, in the order VBScript checks.
Dim s, n, x, got
s = "Etichetta"
n = Null
out.Print Len(s) & " " & TypeName(Len(s)) & " " & Len("") & " " & Len(Empty) & " " & Len(12.5) & " " & Len(out.Field("abcd"))
out.Print TypeName(Len(n)) & " " & TypeName(Len(out.Field(n))) & " " & IsNull(Left(n, 1))
out.Print Left(s, 3) & " " & Left(s, 20) & " " & Left("123456", 1.5) & " " & Left("123456", 2.5) & " " & Left(123, "2") & " " & TypeName(Left(n, 1))
out.Print Right(s, 5) & " " & Right(1234, 2) & " [" & Right(s, Empty) & "] " & TypeName(Right(n, 0))
out.Print Mid(s, 2, 3) & " " & Mid(s, 5) & " " & Mid(s, 5, 20) & " [" & Mid(s, 10) & "] " & Mid(1234, 1, 2) & " " & TypeName(Mid(n, 1, 2))
Sub Check()  ' notes the error number of the statement before (0: none) and clears it
    got = got & " " & Err.Number
    Err.Clear
End Sub
On Error Resume Next
x = Left("test", -1): Check
x = Left("test", n): Check
x = Right(n, -1): Check
x = Len(Array(1, 2)): Check
out.Print "Left Right Len:" & got: got = ""
x = Mid("test", 0): Check
x = Mid("test", "a", n): Check
x = Mid("test", "a", Empty): Check
x = Mid("test", 1, -1): Check
x = Mid(n, -1, -1): Check
x = Mid("test", n, 2): Check
x = Mid("test", , 2): Check
out.Print "Mid:" & got
' EXPECT:
' 9 Long 0 0 4 4
' Null Null True
' Eti Etichetta 12 12 12 Null
' hetta 34 [] Null
' tic hetta hetta [] 12 Null
' Left Right Len: 5 94 5 13
' Mid: 5 94 13 5 5 94 449
