out.Print "a" < "B"
out.Print "abc" = "ABC"
out.Print "abc" < "abd"
out.Print "" < "a"
out.Print "10" < "9"
out.Print 10 < 9
out.Print "Z" < "a"
' EXPECT:
' False
' False
' True
' True
' True
' False
' True
