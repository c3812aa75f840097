a. b.
#show.
