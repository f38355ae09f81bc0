Dim a(3)
out.Print LBound(a) & " " & UBound(a)
a(0) = 10 : a(3) = 40
out.Print a(0) + a(3)
ReDim Preserve a(5)
out.Print UBound(a) & " " & a(3) & " [" & a(5) & "]"
ReDim a(1)
out.Print "[" & a(0) & "]"
Dim m(2, 3)
m(2, 3) = "corner"
out.Print UBound(m, 1) & " " & UBound(m, 2) & " " & m(2, 3)
b = Array("x", "y", "z")
out.Print UBound(b) & " " & b(1)
c = b
c(1) = "changed"
out.Print b(1) & " " & c(1)
Erase c
out.Print "[" & c(1) & "]"
out.Print IsArray(b) & " " & IsArray(1)
Dim d()
ReDim d(2)
d(2) = "dynamic"
out.Print d(2)
' EXPECT:
' 0 3
' 50
' 5 40 []
' []
' 2 3 corner
' 2 y
' y changed
' []
' True False
' dynamic
