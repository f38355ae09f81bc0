Dim a(2)
a(0) = "x" : a(1) = "y" : a(2) = "z"
For Each v In a
    s = s & v
Next
out.Print s
For Each v In Array(1, 2, 3, 4)
    If v = 3 Then Exit For
    t = t + v
Next
out.Print t
Dim e()
For Each v In e
    out.Print "an empty array has no items"
Next
out.Print "done"
' EXPECT:
' xyz
' 3
' done
